#pragma once
// The live window (SDL2): the device's display scaled, the mouse as the
// touch screen (press, drag, release), the keyboard as the remote.

#include <cstdint>
#include <string>

#include "emu/emu_device.h"

struct WindowSettings {
  int scale = 2;
  std::string outDir;  // screenshots (F12)
  std::string title = "kestrel";
};

// The key map, as printed at start.
std::string WindowKeyMap();

// The keyboard's remote key code for an SDL key code, 0 for none.
int32_t RemoteCodeForKey(int sdlKey);

// One record for the touch driver.
struct PenSample {
  int16_t pressure = 0;
  int16_t x = 0;
  int16_t y = 0;
};

// The mouse as the touch screen. A window pixel stands for the screen pixel
// it shows, clamped to the screen: a finger never touches beyond the panel.
// The pen lifts where it was when the pointer leaves the window or the window
// loses the focus, since the button's release then goes elsewhere. The moves
// of a drag wait until the program has read what came before, and only the
// latest is sent: the program takes one sample a pass, and a fast mouse would
// otherwise queue a backlog that it plays out long after the hand stopped.
class CWindowPen {
 public:
  CWindowPen(int scale, uint32_t width, uint32_t height);

  // Each gives the sample to send now, or false for none.
  bool Press(int windowX, int windowY, PenSample& out);
  bool Release(int windowX, int windowY, PenSample& out);
  bool Lift(PenSample& out);
  // Remembered while the pen is down, for NextMove.
  void Move(int windowX, int windowY);
  // The latest move not sent yet, once the program has read all input.
  bool NextMove(bool inputTaken, PenSample& out);

  bool Down() const { return iDown; }

 private:
  void Place(int windowX, int windowY);

  int iScale;
  uint32_t iWidth;
  uint32_t iHeight;
  bool iDown = false;
  bool iMoved = false;
  PenSample iAt;
};

// Runs until the window is closed (or Escape) or the program ends, then
// stops the program. Returns 0 when the window was closed or the program
// ended with status 0; 1 when the program ended otherwise, or when the
// window cannot be opened (the reason on stderr).
int RunWindow(CEmuDevice& device, const WindowSettings& settings);
