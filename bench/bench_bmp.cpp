// Loading a 320x240 24-bit BMP file into a picture against SDL2's loader
// followed by its conversion to RGB565, on the same file.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/ratio_reporter.h"
#include "gfx/image.h"

namespace {

constexpr uint32_t kWidth = 320, kHeight = 240;
std::string gPath;

void Put(std::vector<uint8_t>& out, uint32_t v, int n) {
  for (int i = 0; i < n; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

bool WriteBmp(const std::string& path) {
  const uint32_t stride = kWidth * 3;
  std::vector<uint8_t> f = {'B', 'M'};
  Put(f, 54 + stride * kHeight, 4);
  Put(f, 0, 4);
  Put(f, 54, 4);
  Put(f, 40, 4);
  Put(f, kWidth, 4);
  Put(f, kHeight, 4);
  Put(f, 1, 2);
  Put(f, 24, 2);
  Put(f, 0, 4);
  Put(f, stride * kHeight, 4);
  Put(f, 2835, 4);
  Put(f, 2835, 4);
  Put(f, 0, 4);
  Put(f, 0, 4);
  for (uint32_t i = 0; i < stride * kHeight; ++i) f.push_back(static_cast<uint8_t>(i * 31 + i / 977));
  FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) return false;
  const bool ok = std::fwrite(f.data(), 1, f.size(), out) == f.size();
  return std::fclose(out) == 0 && ok;
}

void BM_LoadBmpImage(benchmark::State& state) {
  for (auto _ : state) {
    const int fd = open(gPath.c_str(), O_RDONLY);
    MImage* image = LoadBmpImage(fd, -1, 0, 0, 16);
    if (image == nullptr) {
      state.SkipWithError("no picture");
      break;
    }
    benchmark::DoNotOptimize(image);
    delete image;
  }
}

void BM_SdlLoadAndConvert(benchmark::State& state) {
  for (auto _ : state) {
    SDL_Surface* loaded = SDL_LoadBMP(gPath.c_str());
    SDL_Surface* converted = loaded ? SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB565, 0) : nullptr;
    if (converted == nullptr) {
      SDL_FreeSurface(loaded);
      state.SkipWithError(SDL_GetError());
      break;
    }
    benchmark::DoNotOptimize(converted->pixels);
    SDL_FreeSurface(converted);
    SDL_FreeSurface(loaded);
  }
}

constexpr int kRepeats = 7;
BENCHMARK(BM_LoadBmpImage)->Repetitions(kRepeats)->ReportAggregatesOnly(true);
BENCHMARK(BM_SdlLoadAndConvert)->Repetitions(kRepeats)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  const char* tmp = std::getenv("TMPDIR");
  gPath = std::string(tmp != nullptr ? tmp : "/tmp") + "/bench_bmp_" + std::to_string(getpid()) + ".bmp";
  if (!WriteBmp(gPath)) {
    std::fprintf(stderr, "cannot write %s\n", gPath.c_str());
    return 1;
  }
  CRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatio("bmp_load_vs_sdl", "BM_LoadBmpImage", "BM_SdlLoadAndConvert", kRepeats);
  std::remove(gPath.c_str());
  benchmark::Shutdown();
  return 0;
}
