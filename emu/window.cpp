#include "emu/window.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

namespace {

struct KeyBinding {
  SDL_Keycode key;
  int32_t code;
  const char* keyName;
  const char* meaning;
};
constexpr KeyBinding kKeys[] = {
    {SDLK_UP, 1, "Up", "list selection up"},
    {SDLK_DOWN, 2, "Down", "list selection down; backspace on a keyboard"},
    {SDLK_LEFT, 3, "Left", "focus back"},
    {SDLK_RIGHT, 4, "Right", "focus forward"},
    {SDLK_TAB, 5, "Tab", "open the keyboard from a field; switch keyboards"},
    {SDLK_RETURN, 6, "Enter", "activate the focused widget"},
    {SDLK_PAGEUP, 7, "Page Up", "page the list up; shift on a keyboard"},
    {SDLK_PAGEDOWN, 8, "Page Down", "page the list down; shift on a keyboard"},
    {SDLK_c, 9, "C", "type the focused key as a capital"},
    {SDLK_s, 10, "S", "type the focused key as a small letter"},
};

// The picture in the window, each screen pixel a scale x scale block, through
// `scaled`, a surface of the window's size in a format of 8 bits a channel:
// an integer scale by hand is exact, where SDL_BlitScaled steps in fixed point.
void Draw(SDL_Window* window, SDL_Surface* scaled, const CRgbPicture& picture, int scale) {
  SDL_Surface* surface = SDL_GetWindowSurface(window);
  if (surface == nullptr) return;
  const auto s = static_cast<uint32_t>(scale);
  const uint32_t w = std::min(picture.width, static_cast<uint32_t>(scaled->w) / s);
  const uint32_t h = std::min(picture.height, static_cast<uint32_t>(scaled->h) / s);
  auto* pixels = static_cast<uint8_t*>(scaled->pixels);
  const auto pitch = static_cast<size_t>(scaled->pitch);
  for (uint32_t y = 0; y < h; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(pixels + size_t{y} * s * pitch);
    for (uint32_t x = 0; x < w; ++x) {
      const uint8_t* c = picture.At(x, y);
      std::fill_n(row + size_t{x} * s, s, SDL_MapRGB(scaled->format, c[0], c[1], c[2]));
    }
    for (uint32_t k = 1; k < s; ++k) std::memcpy(pixels + (size_t{y} * s + k) * pitch, row, size_t{w} * s * 4);
  }
  if (surface->w != scaled->w || surface->h != scaled->h) SDL_FillRect(surface, nullptr, 0);
  SDL_BlitSurface(scaled, nullptr, surface, nullptr);
  SDL_UpdateWindowSurface(window);
}

}  // namespace

// SDL's video subsystem starts libdbus, whose global tables last until a
// dbus_shutdown that SDL 2.26 never calls: not a leak of the emulator's.
extern "C" const char* __lsan_default_suppressions();
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }
extern "C" const char* __lsan_default_options();
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }

std::string WindowKeyMap() {
  std::string map = "Mouse: touch screen (press, drag, release).\nKeyboard: remote control\n";
  for (const KeyBinding& k : kKeys) {
    char line[160];
    std::snprintf(line, sizeof line, "  %-10s key %-2d %s\n", k.keyName, static_cast<int>(k.code), k.meaning);
    map += line;
  }
  map += "  F2         hand the display to another process and back\n"
         "  F12        save a screenshot\n"
         "  Escape     close the window (so does the window's close button)\n";
  return map;
}

int32_t RemoteCodeForKey(int sdlKey) {
  for (const KeyBinding& k : kKeys)
    if (k.key == sdlKey) return k.code;
  return 0;
}

CWindowPen::CWindowPen(int scale, uint32_t width, uint32_t height)
    : iScale(std::max(scale, 1)), iWidth(std::max(width, 1u)), iHeight(std::max(height, 1u)) {}

void CWindowPen::Place(int windowX, int windowY) {
  const int x = std::clamp(windowX / iScale, 0, static_cast<int>(iWidth) - 1);
  const int y = std::clamp(windowY / iScale, 0, static_cast<int>(iHeight) - 1);
  iAt.x = static_cast<int16_t>(x);
  iAt.y = static_cast<int16_t>(y);
}

bool CWindowPen::Press(int windowX, int windowY, PenSample& out) {
  Place(windowX, windowY);
  iDown = true;
  iMoved = false;
  iAt.pressure = kPenPressure;
  out = iAt;
  return true;
}

bool CWindowPen::Release(int windowX, int windowY, PenSample& out) {
  if (!iDown) return false;
  Place(windowX, windowY);
  return Lift(out);
}

bool CWindowPen::Lift(PenSample& out) {
  if (!iDown) return false;
  iDown = false;
  iMoved = false;
  iAt.pressure = 0;
  out = iAt;
  return true;
}

void CWindowPen::Move(int windowX, int windowY) {
  if (!iDown) return;
  Place(windowX, windowY);
  iMoved = true;
}

bool CWindowPen::NextMove(bool inputTaken, PenSample& out) {
  if (!iDown || !iMoved || !inputTaken) return false;
  iMoved = false;
  out = iAt;
  return true;
}

int RunWindow(CEmuDevice& device, const WindowSettings& settings) {
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "kestrel-emu: cannot open a window: %s\n", SDL_GetError());
    return 1;
  }
  const char* driver = SDL_GetCurrentVideoDriver();
  const std::string video = driver != nullptr ? driver : "";
  // Without a display SDL falls back to a window that nobody sees and nobody
  // can close, unless that was asked for.
  if ((video == "offscreen" || video == "dummy") && std::getenv("SDL_VIDEODRIVER") == nullptr) {
    std::fprintf(stderr, "kestrel-emu: cannot open a window: no display to show it on (DISPLAY is not set)\n");
    SDL_Quit();
    return 1;
  }
  // X11 shows the window's own framebuffer as it is; SDL's default there, a
  // texture drawn through OpenGL, would start a software renderer for a copy.
  if (video == "x11") SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  const DisplayModel& m = device.Model();
  const int scale = settings.scale;
  const int w = static_cast<int>(m.width) * scale, h = static_cast<int>(m.height) * scale;
  SDL_Window* window =
      SDL_CreateWindow(settings.title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, w, h, 0);
  SDL_Surface* scaled =
      window != nullptr ? SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_RGB888) : nullptr;
  if (scaled == nullptr) {
    std::fprintf(stderr, "kestrel-emu: cannot open a window: %s\n", SDL_GetError());
    if (window != nullptr) SDL_DestroyWindow(window);
    SDL_Quit();
    return 1;
  }
  std::fputs(WindowKeyMap().c_str(), stdout);
  std::fflush(stdout);
  CRgbPicture picture;
  CWindowPen pen(scale, m.width, m.height);
  // While another process has the display, it takes the input too.
  auto touch = [&](const PenSample& s) {
    if (device.ProgramActive()) device.QueueTouch(s.pressure, s.x, s.y);
  };
  uint64_t shown = 0;
  bool redraw = true;
  int shots = 0;
  bool closed = false;
  while (!closed) {
    SDL_Event e;
    PenSample s;
    while (SDL_PollEvent(&e)) {
      switch (e.type) {
        case SDL_QUIT:
          closed = true;
          break;
        case SDL_WINDOWEVENT:
          if (e.window.event == SDL_WINDOWEVENT_CLOSE) closed = true;
          if (e.window.event == SDL_WINDOWEVENT_EXPOSED) redraw = true;
          if ((e.window.event == SDL_WINDOWEVENT_LEAVE || e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) &&
              pen.Lift(s))
            touch(s);
          break;
        case SDL_MOUSEBUTTONDOWN:
          if (e.button.button == SDL_BUTTON_LEFT && pen.Press(e.button.x, e.button.y, s)) touch(s);
          break;
        case SDL_MOUSEMOTION:
          // A button released where the window could not see it.
          if ((e.motion.state & SDL_BUTTON_LMASK) == 0) {
            if (pen.Lift(s)) touch(s);
          } else {
            pen.Move(e.motion.x, e.motion.y);
          }
          break;
        case SDL_MOUSEBUTTONUP:
          if (e.button.button == SDL_BUTTON_LEFT && pen.Release(e.button.x, e.button.y, s)) touch(s);
          break;
        case SDL_KEYDOWN: {
          const SDL_Keycode key = e.key.keysym.sym;
          if (key == SDLK_ESCAPE) {
            closed = true;
          } else if (key == SDLK_F2 && e.key.repeat == 0) {
            device.SetProgramActive(!device.ProgramActive());
          } else if (key == SDLK_F12 && e.key.repeat == 0) {
            CRgbPicture shot;
            device.Picture(shot);
            const std::string path = settings.outDir + "/window-" + std::to_string(++shots) + ".png";
            if (WritePng(path, shot)) std::printf("shot %s\n", path.c_str());
            else std::fprintf(stderr, "kestrel-emu: cannot write %s\n", path.c_str());
            std::fflush(stdout);
          } else if (const int32_t code = RemoteCodeForKey(key)) {
            // A held key repeats at the program's pace, never ahead of it.
            if (device.ProgramActive() && (e.key.repeat == 0 || device.InputTaken())) device.QueueKey(code);
          }
          break;
        }
        default:
          break;
      }
    }
    if (pen.NextMove(device.InputTaken(), s)) touch(s);
    device.Tick();
    if (!device.Running()) break;
    if (CEmuDevice::StopRequested()) {
      closed = true;
      break;
    }
    if (redraw || device.Changes() != shown) {
      redraw = false;
      shown = device.Changes();
      device.Picture(picture);
      Draw(window, scaled, picture, scale);
    }
    std::this_thread::sleep_for(CEmuDevice::kTickTime);
  }
  SDL_FreeSurface(scaled);
  SDL_DestroyWindow(window);
  SDL_Quit();
  device.Stop();
  return closed || device.ExitStatus() == 0 ? 0 : 1;
}
