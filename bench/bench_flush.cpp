// Flush of the shadow screen to the display, for each model family, beside a
// memcpy of the same bytes in the same run. A straightforward per-pixel
// transpose is measured too, to show what the tiled one saves.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "bench/ratio_reporter.h"
#include "device/memory_frame_buffer.h"
#include "device/virtual_screen.h"

namespace {

void Fill(MFrameBuffer& fb) {
  uint32_t v = 12345;
  for (uint32_t x = 0; x < fb.GetWidth(); ++x)
    for (uint32_t y = 0; y < fb.GetHeight(); ++y) {
      v = v * 1103515245u + 12345u;
      PaintPixel(fb, static_cast<int32_t>(x), static_cast<int32_t>(y), static_cast<Color>(v >> 16));
    }
}

void BM_Flush(benchmark::State& state) {
  CMemoryFrameBuffer device(static_cast<uint32_t>(state.range(0)), static_cast<uint32_t>(state.range(1)));
  CVirtualScreen screen(&device, static_cast<int32_t>(state.range(2)));
  Fill(screen);
  for (auto _ : state) {
    screen.Flush(false);
    benchmark::DoNotOptimize(device.Bytes().data());
    benchmark::ClobberMemory();
  }
}

// The reference transpose: one pixel at a time in display order.
void BM_PlainTranspose(benchmark::State& state) {
  uint32_t w = static_cast<uint32_t>(state.range(0));
  uint32_t h = static_cast<uint32_t>(state.range(1));
  std::vector<uint16_t> shadow(size_t{w} * h, 7);
  std::vector<uint16_t> display(size_t{w} * h);
  for (auto _ : state) {
    for (uint32_t y = 0; y < h; ++y)
      for (uint32_t x = 0; x < w; ++x) display[size_t{y} * w + x] = shadow[size_t{x} * h + (h - 1 - y)];
    benchmark::DoNotOptimize(display.data());
    benchmark::ClobberMemory();
  }
}

constexpr int kRepeats = 7;

// Medians of several repetitions, in processor time: the machine is shared.
BENCHMARK(BM_Memcpy)->Args({320, 240})->Args({480, 272})->Repetitions(kRepeats)->ReportAggregatesOnly(true);
BENCHMARK(BM_Flush)
    ->Args({320, 240, 27})
    ->Args({320, 240, 144})
    ->Args({480, 272, 144})
    ->Args({320, 240, 7})
    ->Repetitions(kRepeats)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_PlainTranspose)->Args({320, 240})->Repetitions(kRepeats)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
  return RunBenchmarksWithRatios(
      argc, argv,
      {
          {"flush_model27_320x240_vs_memcpy", "BM_Flush/320/240/27", "BM_Memcpy/320/240"},
          {"flush_model144_320x240_vs_memcpy", "BM_Flush/320/240/144", "BM_Memcpy/320/240"},
          {"flush_model144_480x272_vs_memcpy", "BM_Flush/480/272/144", "BM_Memcpy/480/272"},
          {"flush_model7_320x240_vs_memcpy", "BM_Flush/320/240/7", "BM_Memcpy/320/240"},
          {"plain_transpose_320x240_vs_memcpy", "BM_PlainTranspose/320/240", "BM_Memcpy/320/240"},
      },
      kRepeats);
}
