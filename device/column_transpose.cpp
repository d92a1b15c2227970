#include "device/column_transpose.h"

#include <cstring>

namespace {

// Eight 16-bit pixels; the compiler maps it onto SSE2 or NEON registers.
typedef uint16_t Lane8 __attribute__((vector_size(16)));

// Pixel memory is bytes: every access goes through memcpy, which compiles
// to one (unaligned) load or store.
inline Lane8 Load(const uint8_t* base, size_t pixel) {
  Lane8 v;
  std::memcpy(&v, base + 2 * pixel, sizeof v);
  return v;
}
inline void Store(uint8_t* base, size_t pixel, Lane8 v) { std::memcpy(base + 2 * pixel, &v, sizeof v); }

}  // namespace

// 8 x 8 tiles are transposed in registers: tile column i is eight
// consecutive shadow pixels, bottom row first, so after the transpose
// register j holds display row y0 + 7 - j.
void ColumnsToRows(const uint8_t* src, uint8_t* dst, uint32_t w, uint32_t h) {
  const uint32_t w8 = w & ~7u;
  const uint32_t h8 = h & ~7u;
  for (uint32_t y0 = 0; y0 < h8; y0 += 8) {
    const uint32_t runStart = h - 8 - y0;  // shadow index of display row y0 + 7
    for (uint32_t x0 = 0; x0 < w8; x0 += 8) {
      const size_t s = size_t{x0} * h + runStart;
      Lane8 a0 = Load(src, s), a1 = Load(src, s + h), a2 = Load(src, s + 2 * h), a3 = Load(src, s + 3 * h);
      Lane8 a4 = Load(src, s + 4 * h), a5 = Load(src, s + 5 * h), a6 = Load(src, s + 6 * h);
      Lane8 a7 = Load(src, s + 7 * h);
      // Interleave 16-bit, then 32-bit, then 64-bit pairs.
      Lane8 b0 = __builtin_shufflevector(a0, a1, 0, 8, 1, 9, 2, 10, 3, 11);
      Lane8 b1 = __builtin_shufflevector(a0, a1, 4, 12, 5, 13, 6, 14, 7, 15);
      Lane8 b2 = __builtin_shufflevector(a2, a3, 0, 8, 1, 9, 2, 10, 3, 11);
      Lane8 b3 = __builtin_shufflevector(a2, a3, 4, 12, 5, 13, 6, 14, 7, 15);
      Lane8 b4 = __builtin_shufflevector(a4, a5, 0, 8, 1, 9, 2, 10, 3, 11);
      Lane8 b5 = __builtin_shufflevector(a4, a5, 4, 12, 5, 13, 6, 14, 7, 15);
      Lane8 b6 = __builtin_shufflevector(a6, a7, 0, 8, 1, 9, 2, 10, 3, 11);
      Lane8 b7 = __builtin_shufflevector(a6, a7, 4, 12, 5, 13, 6, 14, 7, 15);
      Lane8 c0 = __builtin_shufflevector(b0, b2, 0, 1, 8, 9, 2, 3, 10, 11);
      Lane8 c1 = __builtin_shufflevector(b0, b2, 4, 5, 12, 13, 6, 7, 14, 15);
      Lane8 c2 = __builtin_shufflevector(b1, b3, 0, 1, 8, 9, 2, 3, 10, 11);
      Lane8 c3 = __builtin_shufflevector(b1, b3, 4, 5, 12, 13, 6, 7, 14, 15);
      Lane8 c4 = __builtin_shufflevector(b4, b6, 0, 1, 8, 9, 2, 3, 10, 11);
      Lane8 c5 = __builtin_shufflevector(b4, b6, 4, 5, 12, 13, 6, 7, 14, 15);
      Lane8 c6 = __builtin_shufflevector(b5, b7, 0, 1, 8, 9, 2, 3, 10, 11);
      Lane8 c7 = __builtin_shufflevector(b5, b7, 4, 5, 12, 13, 6, 7, 14, 15);
      const size_t d = size_t{y0} * w + x0;
      Store(dst, d + 7 * size_t{w}, __builtin_shufflevector(c0, c4, 0, 1, 2, 3, 8, 9, 10, 11));
      Store(dst, d + 6 * size_t{w}, __builtin_shufflevector(c0, c4, 4, 5, 6, 7, 12, 13, 14, 15));
      Store(dst, d + 5 * size_t{w}, __builtin_shufflevector(c1, c5, 0, 1, 2, 3, 8, 9, 10, 11));
      Store(dst, d + 4 * size_t{w}, __builtin_shufflevector(c1, c5, 4, 5, 6, 7, 12, 13, 14, 15));
      Store(dst, d + 3 * size_t{w}, __builtin_shufflevector(c2, c6, 0, 1, 2, 3, 8, 9, 10, 11));
      Store(dst, d + 2 * size_t{w}, __builtin_shufflevector(c2, c6, 4, 5, 6, 7, 12, 13, 14, 15));
      Store(dst, d + 1 * size_t{w}, __builtin_shufflevector(c3, c7, 0, 1, 2, 3, 8, 9, 10, 11));
      Store(dst, d, __builtin_shufflevector(c3, c7, 4, 5, 6, 7, 12, 13, 14, 15));
    }
  }
  // The right and bottom margins that do not fill a tile.
  for (uint32_t y = 0; y < h; ++y) {
    const uint32_t xFrom = y < h8 ? w8 : 0;
    for (uint32_t x = xFrom; x < w; ++x)
      std::memcpy(dst + 2 * (size_t{y} * w + x), src + 2 * (size_t{x} * h + (h - 1 - y)), 2);
  }
}

