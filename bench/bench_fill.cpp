// Fills and straight lines on the virtual screen through the span painter,
// beside memset of the same bytes and beside the per-pixel path that the
// span painter replaces (PaintPixel on each pixel, with its virtual calls).
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "bench/ratio_reporter.h"
#include "device/memory_frame_buffer.h"
#include "device/span_painter.h"
#include "device/virtual_screen.h"

namespace {

constexpr int32_t kWidth = 320;
constexpr int32_t kHeight = 240;
// Two different bytes, so that no fill can be a memset in disguise.
constexpr Color kColor = 0x1234;

struct Screen {
  CMemoryFrameBuffer device{kWidth, kHeight};
  CVirtualScreen screen{&device, 7};
};

void PerPixel(MFrameBuffer& fb, int32_t x, int32_t y, int32_t w, int32_t h, Color c) {
  for (int32_t i = x; i < x + w; ++i)
    for (int32_t j = y; j < y + h; ++j) PaintPixel(fb, i, j, c);
}

void BM_Memset(benchmark::State& state) {
  std::vector<uint8_t> bytes(size_t{kWidth} * kHeight * 2);
  for (auto _ : state) {
    std::memset(bytes.data(), 0x34, bytes.size());
    benchmark::DoNotOptimize(bytes.data());
    benchmark::ClobberMemory();
  }
}

// Arguments: x, y, width, height of the box; 1 for the span painter, 0 per pixel.
void BM_Paint(benchmark::State& state) {
  Screen s;
  const auto x = static_cast<int32_t>(state.range(0)), y = static_cast<int32_t>(state.range(1));
  const auto w = static_cast<int32_t>(state.range(2)), h = static_cast<int32_t>(state.range(3));
  const bool spans = state.range(4) != 0;
  for (auto _ : state) {
    if (spans) {
      PaintBox(s.screen, x, y, w, h, kColor);
    } else {
      PerPixel(s.screen, x, y, w, h, kColor);
    }
    benchmark::DoNotOptimize(s.screen.GetBuffer());
    benchmark::ClobberMemory();
  }
}

constexpr int kRepeats = 7;

BENCHMARK(BM_Memset)->Repetitions(kRepeats)->ReportAggregatesOnly(true);
BENCHMARK(BM_Paint)
    ->Args({0, 0, kWidth, kHeight, 1})
    ->Args({0, 0, kWidth, kHeight, 0})
    ->Args({0, 120, kWidth, 1, 1})
    ->Args({0, 120, kWidth, 1, 0})
    ->Args({160, 0, 1, kHeight, 1})
    ->Args({160, 0, 1, kHeight, 0})
    ->Args({10, 10, 300, 200, 1})
    ->Args({10, 10, 300, 200, 0})
    ->Repetitions(kRepeats)
    ->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
  return RunBenchmarksWithRatios(
      argc, argv,
      {
          {"fill_320x240_vs_memset", "BM_Paint/0/0/320/240/1", "BM_Memset"},
          {"per_pixel_fill_320x240_vs_memset", "BM_Paint/0/0/320/240/0", "BM_Memset"},
          {"box_300x200_vs_per_pixel", "BM_Paint/10/10/300/200/1", "BM_Paint/10/10/300/200/0"},
          {"hline_320_vs_per_pixel", "BM_Paint/0/120/320/1/1", "BM_Paint/0/120/320/1/0"},
          {"vline_240_vs_per_pixel", "BM_Paint/160/0/1/240/1", "BM_Paint/160/0/1/240/0"},
      },
      kRepeats);
}
