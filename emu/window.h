#pragma once
// The live window (SDL2): the device's display scaled, the mouse as the
// touch screen (press, drag, release), the keyboard as the remote.

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

// Runs until the window is closed (or Escape), then stops the program.
// Returns 0, or 1 when the window cannot be opened (the reason on stderr).
int RunWindow(CEmuDevice& device, const WindowSettings& settings);
