// Drawing an opaque 320x240 picture against a memcpy of its 153,600 bytes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "bench/ratio_reporter.h"
#include "device/memory_frame_buffer.h"
#include "gfx/image.h"

namespace {

constexpr uint32_t kWidth = 320, kHeight = 240;

// A decoder of a made-up picture, so no file is involved.
class CPatternDecoder : public MBitmapDecompressor {
 public:
  bool LoadFromFile(int) override { return false; }
  bool LoadFromMemory() override { return false; }
  uint32_t GetImageWidth() override { return kWidth; }
  uint32_t GetImageHeight() override { return kHeight; }
  bool IsMonochrome() override { return false; }
  const uint8_t* GetRow(uint32_t r) override {
    for (uint32_t x = 0; x < kWidth * 3; ++x) iRow[x] = static_cast<uint8_t>(x * 7 + r * 13);
    return iRow;
  }

 private:
  uint8_t iRow[kWidth * 3];
};

void BM_DrawImage(benchmark::State& state) {
  CPatternDecoder decoder;
  CImage image(decoder, -1, 0, 0, 16);
  CMemoryFrameBuffer fb(kWidth, kHeight);
  for (auto _ : state) {
    benchmark::DoNotOptimize(image.DrawImage(fb, 0, 0));
    benchmark::ClobberMemory();
  }
}

constexpr int kRepeats = 7;
BENCHMARK(BM_Memcpy)->Args({kWidth, kHeight})->Repetitions(kRepeats)->ReportAggregatesOnly(true);
BENCHMARK(BM_DrawImage)->Repetitions(kRepeats)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  CRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatio("draw_image_320x240_vs_memcpy", "BM_DrawImage", "BM_Memcpy/320/240", kRepeats);
  benchmark::Shutdown();
  return 0;
}
