#include "emu/window.h"

#include <SDL.h>

#include <cstdio>
#include <cstring>
#include <thread>

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

}  // namespace

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

int RunWindow(CEmuDevice& device, const WindowSettings& settings) {
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "kestrel-emu: cannot open a window: %s\n", SDL_GetError());
    return 1;
  }
  const DisplayModel& m = device.Model();
  const int scale = settings.scale;
  SDL_Window* window = SDL_CreateWindow(settings.title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                        static_cast<int>(m.width) * scale, static_cast<int>(m.height) * scale, 0);
  if (window == nullptr) {
    std::fprintf(stderr, "kestrel-emu: cannot open a window: %s\n", SDL_GetError());
    SDL_Quit();
    return 1;
  }
  std::fputs(WindowKeyMap().c_str(), stdout);
  std::fflush(stdout);
  CRgbPicture picture;
  uint64_t shown = ~uint64_t{0};
  bool penDown = false;
  int shots = 0;
  bool open = true;
  auto toScreen = [&](int wx, int wy, int16_t& x, int16_t& y) {
    x = static_cast<int16_t>(wx / scale);
    y = static_cast<int16_t>(wy / scale);
  };
  while (open) {
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
      int16_t x = 0, y = 0;
      switch (e.type) {
        case SDL_QUIT:
          open = false;
          break;
        case SDL_WINDOWEVENT:
          if (e.window.event == SDL_WINDOWEVENT_CLOSE) open = false;
          if (e.window.event == SDL_WINDOWEVENT_EXPOSED) shown = ~uint64_t{0};
          break;
        case SDL_MOUSEBUTTONDOWN:
          if (e.button.button != SDL_BUTTON_LEFT) break;
          penDown = true;
          toScreen(e.button.x, e.button.y, x, y);
          device.QueueTouch(kPenPressure, x, y);
          break;
        case SDL_MOUSEMOTION:
          if (!penDown) break;
          toScreen(e.motion.x, e.motion.y, x, y);
          device.QueueTouch(kPenPressure, x, y);
          break;
        case SDL_MOUSEBUTTONUP:
          if (e.button.button != SDL_BUTTON_LEFT || !penDown) break;
          penDown = false;
          toScreen(e.button.x, e.button.y, x, y);
          device.QueueTouch(0, x, y);
          break;
        case SDL_KEYDOWN: {
          const SDL_Keycode key = e.key.keysym.sym;
          if (key == SDLK_ESCAPE) {
            open = false;
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
            device.QueueKey(code);
          }
          break;
        }
        default:
          break;
      }
    }
    device.Tick();
    if (!device.Running() || CEmuDevice::StopRequested()) open = false;
    if (device.Changes() != shown) {
      shown = device.Changes();
      device.Picture(picture);
      SDL_Surface* surface = SDL_GetWindowSurface(window);
      if (surface != nullptr && SDL_LockSurface(surface) == 0) {
        const uint32_t w = static_cast<uint32_t>(surface->w), h = static_cast<uint32_t>(surface->h);
        for (uint32_t sy = 0; sy < h; ++sy) {
          auto* row = reinterpret_cast<uint8_t*>(surface->pixels) + size_t{sy} * static_cast<size_t>(surface->pitch);
          const uint32_t py = sy / static_cast<uint32_t>(scale);
          for (uint32_t sx = 0; sx < w; ++sx) {
            const uint32_t px = sx / static_cast<uint32_t>(scale);
            uint32_t value = 0;
            if (px < picture.width && py < picture.height) {
              const uint8_t* c = picture.At(px, py);
              value = SDL_MapRGB(surface->format, c[0], c[1], c[2]);
            }
            std::memcpy(row + size_t{sx} * surface->format->BytesPerPixel, &value, surface->format->BytesPerPixel);
          }
        }
        SDL_UnlockSurface(surface);
        SDL_UpdateWindowSurface(window);
      }
    }
    std::this_thread::sleep_for(CEmuDevice::kTickTime);
  }
  SDL_DestroyWindow(window);
  SDL_Quit();
  device.Stop();
  return 0;
}
