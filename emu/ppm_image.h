#pragma once
// QEMU's screen dumps: binary PPM (P6) with 8-bit channels. A dump of a
// 16-bit display holds its RGB565 pixels expanded by shifting (r8 = r5 << 3,
// low bits zero); ReduceToRgb565 keeps each channel's top 5, 6 and 5 bits and
// expands them the emulator's way (png_image.h), so a dump compares pixel for
// pixel with the emulator's pictures of the same RGB565 screen.

#include <cstddef>
#include <cstdint>
#include <string>

#include "emu/png_image.h"

// False, with the reason in `why`, for anything but a whole P6 picture with
// maxval 255 of at most kMaxPngPixels pixels.
bool ParsePpm(const uint8_t* data, size_t size, CRgbPicture& picture, std::string& why);
bool ReadPpm(const std::string& path, CRgbPicture& picture, std::string& why);

// The RGB565 screen that the picture shows.
void ReduceToRgb565(CRgbPicture& picture);
