#pragma once
// Small BMP files built byte by byte in the tests.

#include <cstdint>
#include <string>
#include <vector>

struct BmpFixture {
  int32_t width = 0;
  int32_t height = 0;
  uint16_t bitsPerPixel = 24;
  std::vector<uint32_t> palette;  // 0xRRGGBB entries
  std::vector<uint8_t> pixels;    // the rows as stored: bottom row first, padded

  // Row stride of the format: a multiple of 4 bytes.
  uint32_t Stride() const { return (static_cast<uint32_t>(width) * bitsPerPixel + 31) / 32 * 4; }

  std::string Bytes() const {
    std::string out(54, '\0');
    auto put = [&out](size_t at, uint32_t v, int n) {
      for (int i = 0; i < n; ++i) out[at + i] = static_cast<char>(v >> (8 * i));
    };
    const uint32_t offset = 54 + static_cast<uint32_t>(palette.size()) * 4;
    out[0] = 'B';
    out[1] = 'M';
    put(2, offset + static_cast<uint32_t>(pixels.size()), 4);
    put(10, offset, 4);
    put(14, 40, 4);
    put(18, static_cast<uint32_t>(width), 4);
    put(22, static_cast<uint32_t>(height), 4);
    put(26, 1, 2);
    put(28, bitsPerPixel, 2);
    for (uint32_t c : palette) {
      out.push_back(static_cast<char>(c & 0xFF));
      out.push_back(static_cast<char>((c >> 8) & 0xFF));
      out.push_back(static_cast<char>((c >> 16) & 0xFF));
      out.push_back('\0');
    }
    out.append(pixels.begin(), pixels.end());
    return out;
  }
};

// A 24-bit picture whose pixel (x, y) has red 8x, green 4y, blue 100 + x + y.
inline BmpFixture Gradient24(int32_t width, int32_t height) {
  BmpFixture f;
  f.width = width;
  f.height = height;
  f.bitsPerPixel = 24;
  for (int32_t y = height - 1; y >= 0; --y) {
    std::vector<uint8_t> row;
    for (int32_t x = 0; x < width; ++x) {
      row.push_back(static_cast<uint8_t>(100 + x + y));
      row.push_back(static_cast<uint8_t>(4 * y));
      row.push_back(static_cast<uint8_t>(8 * x));
    }
    row.resize(f.Stride(), 0xEE);  // padding is never read as pixels
    f.pixels.insert(f.pixels.end(), row.begin(), row.end());
  }
  return f;
}

inline uint16_t GradientColor(int32_t x, int32_t y) {
  const uint32_t r = static_cast<uint8_t>(8 * x), g = static_cast<uint8_t>(4 * y),
                 b = static_cast<uint8_t>(100 + x + y);
  return static_cast<uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}
