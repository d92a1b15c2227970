#include "device/column_transpose.h"

#include <cstring>

// On x86 the processor may have 256-bit registers, which transpose two tiles
// side by side for the same number of shuffles; the choice is made at run
// time, so the program still runs on any x86-64.
#if defined(__SSE2__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define KESTREL_TRANSPOSE_AVX2
#endif

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

// One call's pixels, numbered as in the header.
struct Frame {
  const uint8_t* src;
  uint8_t* dst;
  size_t w;
  size_t h;
  // Shadow pixel of column x that goes to display row y + 7: the start of
  // the run of eight that fills display rows y .. y + 7.
  size_t Run(uint32_t x, uint32_t y) const { return x * h + (h - 8 - y); }
  size_t Pixel(uint32_t x, uint32_t y) const { return y * w + x; }
};

// An 8 x 8 tile transposed in registers: tile column i is eight consecutive
// shadow pixels, bottom row first, so after the transpose register j holds
// display row y + 7 - j.
__attribute__((always_inline)) inline void Tile8(const Frame& f, uint32_t x, uint32_t y) {
  const uint8_t* src = f.src;
  const size_t s = f.Run(x, y), h = f.h;
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
  uint8_t* dst = f.dst;
  const size_t d = f.Pixel(x, y), w = f.w;
  Store(dst, d + 7 * w, __builtin_shufflevector(c0, c4, 0, 1, 2, 3, 8, 9, 10, 11));
  Store(dst, d + 6 * w, __builtin_shufflevector(c0, c4, 4, 5, 6, 7, 12, 13, 14, 15));
  Store(dst, d + 5 * w, __builtin_shufflevector(c1, c5, 0, 1, 2, 3, 8, 9, 10, 11));
  Store(dst, d + 4 * w, __builtin_shufflevector(c1, c5, 4, 5, 6, 7, 12, 13, 14, 15));
  Store(dst, d + 3 * w, __builtin_shufflevector(c2, c6, 0, 1, 2, 3, 8, 9, 10, 11));
  Store(dst, d + 2 * w, __builtin_shufflevector(c2, c6, 4, 5, 6, 7, 12, 13, 14, 15));
  Store(dst, d + 1 * w, __builtin_shufflevector(c3, c7, 0, 1, 2, 3, 8, 9, 10, 11));
  Store(dst, d, __builtin_shufflevector(c3, c7, 4, 5, 6, 7, 12, 13, 14, 15));
}

// Bands of display rows are walked block by block; a band's display lines
// stay in the first-level cache until the blocks beside each other have
// filled them, and the shadow runs of a block are read in one sweep. Taller
// bands lose lines on some widths.
constexpr uint32_t kBlockColumns = 32;
constexpr uint32_t kMaxBandRows = 160;

// A block is up to kBlockColumns columns (one 64-byte line of each display
// row) from display row y0 down to y1, one row of tiles after another. The
// frame comes by value: byte stores could alias one behind a reference, and
// its fields would be read again after every store.
void Block(Frame f, uint32_t x0, uint32_t x1, uint32_t y0, uint32_t y1) {
  for (uint32_t y = y0; y < y1; y += 8)
    for (uint32_t x = x0; x < x1; x += 8) Tile8(f, x, y);
}

#if defined(KESTREL_TRANSPOSE_AVX2)
// Tiles x .. x + 7 and x + 8 .. x + 15 in the two halves of eight 256-bit
// registers: the same interleaves as Tile8, each register then one display
// row of 16 pixels.
__attribute__((target("avx2"), always_inline)) inline void Tile16(const Frame& f, uint32_t x, uint32_t y) {
  const size_t h = f.h, w = f.w;
  const uint8_t* s = f.src + 2 * f.Run(x, y);
  __m256i a[8];
  for (size_t k = 0; k < 8; ++k) {
    const __m128i left = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 2 * k * h));
    const __m128i right = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 2 * (k + 8) * h));
    a[k] = _mm256_inserti128_si256(_mm256_castsi128_si256(left), right, 1);
  }
  const __m256i b0 = _mm256_unpacklo_epi16(a[0], a[1]), b1 = _mm256_unpackhi_epi16(a[0], a[1]);
  const __m256i b2 = _mm256_unpacklo_epi16(a[2], a[3]), b3 = _mm256_unpackhi_epi16(a[2], a[3]);
  const __m256i b4 = _mm256_unpacklo_epi16(a[4], a[5]), b5 = _mm256_unpackhi_epi16(a[4], a[5]);
  const __m256i b6 = _mm256_unpacklo_epi16(a[6], a[7]), b7 = _mm256_unpackhi_epi16(a[6], a[7]);
  const __m256i c0 = _mm256_unpacklo_epi32(b0, b2), c1 = _mm256_unpackhi_epi32(b0, b2);
  const __m256i c2 = _mm256_unpacklo_epi32(b1, b3), c3 = _mm256_unpackhi_epi32(b1, b3);
  const __m256i c4 = _mm256_unpacklo_epi32(b4, b6), c5 = _mm256_unpackhi_epi32(b4, b6);
  const __m256i c6 = _mm256_unpacklo_epi32(b5, b7), c7 = _mm256_unpackhi_epi32(b5, b7);
  const __m256i rows[8] = {_mm256_unpackhi_epi64(c3, c7), _mm256_unpacklo_epi64(c3, c7),
                           _mm256_unpackhi_epi64(c2, c6), _mm256_unpacklo_epi64(c2, c6),
                           _mm256_unpackhi_epi64(c1, c5), _mm256_unpacklo_epi64(c1, c5),
                           _mm256_unpackhi_epi64(c0, c4), _mm256_unpacklo_epi64(c0, c4)};
  uint8_t* d = f.dst + 2 * f.Pixel(x, y);
  for (size_t r = 0; r < 8; ++r) _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + 2 * r * w), rows[r]);
}

// Block with 16-column tiles as far as they fit.
__attribute__((target("avx2"))) void WideBlock(Frame f, uint32_t x0, uint32_t x1, uint32_t y0, uint32_t y1) {
  for (uint32_t y = y0; y < y1; y += 8) {
    uint32_t x = x0;
    for (; x1 - x >= 16; x += 16) Tile16(f, x, y);
    for (; x < x1; x += 8) Tile8(f, x, y);
  }
}
#endif

}  // namespace

void ColumnsToRows(const uint8_t* src, uint8_t* dst, uint32_t w, uint32_t h) {
  const Frame f{src, dst, w, h};
  const uint32_t w8 = w & ~7u;
  const uint32_t h8 = h & ~7u;
  void (*block)(Frame, uint32_t, uint32_t, uint32_t, uint32_t) = Block;
  uint32_t lead = 0;
#if defined(KESTREL_TRANSPOSE_AVX2)
  if (__builtin_cpu_supports("avx2")) {
    block = WideBlock;
    // 256-bit stores that straddle cache lines cost twice: where every row
    // starts at the same offset, 8 columns on their own bring the rest onto
    // 32-byte boundaries.
    if (w % 16 == 0 && w8 >= 16 && (reinterpret_cast<uintptr_t>(dst) & 31) == 16) lead = 8;
  }
#endif
  // Limits are compared as differences: no sum wraps at any geometry.
  const uint32_t bands = h8 / kMaxBandRows + (h8 % kMaxBandRows != 0);
  const uint32_t bandRows = bands == 0 ? 0 : (h8 / 8 + bands - 1) / bands * 8;
  for (uint32_t y0 = 0, y1 = 0; y0 < h8; y0 = y1) {
    y1 = h8 - y0 > bandRows ? y0 + bandRows : h8;
    for (uint32_t x0 = 0, x1 = 0; x0 < w8; x0 = x1) {
      x1 = x0 == 0 && lead != 0 ? lead : w8 - x0 > kBlockColumns ? x0 + kBlockColumns : w8;
      block(f, x0, x1, y0, y1);
    }
  }
  // The right and bottom margins that do not fill a tile.
  for (uint32_t y = 0; y < h; ++y) {
    const uint32_t xFrom = y < h8 ? w8 : 0;
    for (uint32_t x = xFrom; x < w; ++x)
      std::memcpy(dst + 2 * (size_t{y} * w + x), src + 2 * (size_t{x} * h + (h - 1 - y)), 2);
  }
}
