#include "emu/display_reader.h"

#include <cstring>

DisplayModel ModelDisplay(int32_t model) {
  DisplayModel d;
  d.model = model;
  switch (model) {
    case 27: case 57: case 121: case 528:
      break;
    case 144: case 400:
      d.width = 480;
      d.height = 272;
      break;
    default:
      d.rowMajor = false;
      break;
  }
  return d;
}

void ReadDisplay(const DisplayModel& m, const uint8_t* memory, CRgbPicture& picture) {
  picture.Resize(m.width, m.height);
  for (uint32_t y = 0; y < m.height; ++y) {
    for (uint32_t x = 0; x < m.width; ++x) {
      const size_t pixel = m.rowMajor ? size_t{y} * m.width + x : size_t{x} * m.height + (m.height - 1 - y);
      uint16_t c;
      std::memcpy(&c, memory + pixel * 2, 2);
      ExpandRgb565(c, picture.At(x, y));
    }
  }
}
