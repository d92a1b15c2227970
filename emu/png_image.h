#pragma once
// Pictures as the emulator shows them: row-major RGB888, expanded from the
// display's RGB565 by repeating each channel's high bits (r8 = r5 << 3 |
// r5 >> 2, g8 = g6 << 2 | g6 >> 4), so that a PNG reads back to exactly the
// pixels it was written from. PNG files through libpng; a written file holds
// the pixels alone (no time or text chunks), so the same picture gives the
// same bytes every run.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct CRgbPicture {
  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<uint8_t> rgb;  // width * height * 3 bytes, top row first

  void Resize(uint32_t w, uint32_t h) {
    width = w;
    height = h;
    rgb.assign(size_t{w} * h * 3, 0);
  }
  uint8_t* At(uint32_t x, uint32_t y) { return &rgb[(size_t{y} * width + x) * 3]; }
  const uint8_t* At(uint32_t x, uint32_t y) const { return &rgb[(size_t{y} * width + x) * 3]; }
};

// One RGB565 pixel as three bytes.
void ExpandRgb565(uint16_t color, uint8_t* out);

bool WritePng(const std::string& path, const CRgbPicture& picture);
// False for a missing or undecodable file; pictures larger than
// kMaxPngPixels are refused.
bool ReadPng(const std::string& path, CRgbPicture& picture);
inline constexpr uint64_t kMaxPngPixels = uint64_t{4096} * 4096;

// The pixels of `actual` that differ from `expected`, counted; `diff` shows
// them red on a dimmed copy of `actual`. -1 when the sizes differ.
long ComparePictures(const CRgbPicture& actual, const CRgbPicture& expected, CRgbPicture* diff);
