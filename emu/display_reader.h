#pragma once
// The display controller of the emulated device: how each model's display
// memory is laid out, and the picture a panel shows from it. Its own table,
// apart from the program's: a flush that writes the wrong layout shows as a
// scrambled picture here.

#include <cstddef>
#include <cstdint>

#include "emu/png_image.h"

struct DisplayModel {
  int32_t model = 27;
  uint32_t width = 320;
  uint32_t height = 240;
  // Row-major grid (pixel y * width + x), or the column runs of the shadow
  // screen (column x from the bottom row up).
  bool rowMajor = true;

  size_t Bytes() const { return size_t{width} * height * 2; }
};

// Models 27, 57, 121 and 528: a row-major 320 x 240 panel; 144 and 400: a
// row-major 480 x 272 panel; every other model: a 320 x 240 panel whose
// memory has the column layout.
DisplayModel ModelDisplay(int32_t model);

// The panel's picture from `bytes` of display memory (model.Bytes() of them).
void ReadDisplay(const DisplayModel& model, const uint8_t* memory, CRgbPicture& picture);
