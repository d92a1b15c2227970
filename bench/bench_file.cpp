// Opening a 2 GiB sparse file on the file screen, up to its first frame
// flushed, beside opening a 50-line file in the same run; and the peak
// memory of the big open, measured in a child process.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "app/file_screen.h"
#include "app/globals.h"
#include "bench/device_sandbox.h"
#include "bench/process_figures.h"
#include "device/device_seams.h"
#include "device/memory_frame_buffer.h"
#include "ui/skin.h"
#include "ui/ui_seams.h"

namespace {

constexpr off_t kHugeBytes = off_t{2} << 30;
std::string gFolder;
std::string gHuge;
std::string gShort;

void MakeFixture() {
  char pattern[] = "/tmp/kestrel-bench-file-XXXXXX";
  if (mkdtemp(pattern) == nullptr) std::abort();
  gFolder = pattern;
  gHuge = gFolder + "/huge.txt";
  gShort = gFolder + "/short.txt";
  FILE* f = std::fopen(gHuge.c_str(), "wb");
  if (f == nullptr) std::abort();
  for (int i = 0; i < 1000; ++i) std::fprintf(f, "%07d the quick brown fox j\n", i);
  std::fclose(f);
  if (truncate(gHuge.c_str(), kHugeBytes) != 0) std::abort();
  f = std::fopen(gShort.c_str(), "wb");
  if (f == nullptr) std::abort();
  for (int i = 0; i < 50; ++i) std::fprintf(f, "%07d the quick brown fox j\n", i);
  std::fclose(f);
}

void RemoveFixture() {
  unlink(gHuge.c_str());
  unlink(gShort.c_str());
  rmdir(gFolder.c_str());
}

// The file screen on a 320x240 memory display, the built-in font (the skin
// folder is the empty fixture folder), the debug log closed.
class CBenchFileScreen {
 public:
  CBenchFileScreen() : iDisplay(320, 240) {
    SetFrameBufferForTesting(&iDisplay);
    SetModelIdForTesting(7);
    SetActivePidForTesting(static_cast<int32_t>(getpid()));
    SetSkinFolder(gFolder.c_str());
    iScreen = new CFile_Screen();
  }
  ~CBenchFileScreen() {
    delete iScreen;
    ResetGlobalsForTesting();
    ResetUIForTesting();
    ResetDeviceForTesting();
  }
  void Open(const std::string& path) {
    iScreen->Refresh_Screen(path.c_str(), true);
    GetVirtualScreen()->Flush(true);
  }

 private:
  CMemoryFrameBuffer iDisplay;
  CFile_Screen* iScreen = nullptr;
};

void BM_OpenHuge(benchmark::State& state) {
  CBenchFileScreen bench;
  for (auto _ : state) {
    bench.Open(gHuge);
    benchmark::ClobberMemory();
  }
  if (file_lines.Size() != 50) state.SkipWithError("not the first 50 lines");
}

void BM_OpenFiftyLines(benchmark::State& state) {
  CBenchFileScreen bench;
  for (auto _ : state) {
    bench.Open(gShort);
    benchmark::ClobberMemory();
  }
  if (file_lines.Size() != 50) state.SkipWithError("not the 50 lines");
}

constexpr int kRepeats = 5;
BENCHMARK(BM_OpenFiftyLines)->UseRealTime()->Repetitions(kRepeats)->ReportAggregatesOnly(true);
BENCHMARK(BM_OpenHuge)->UseRealTime()->Repetitions(kRepeats)->ReportAggregatesOnly(true);

// The peak of one open of the 2 GiB file over the resident set before it,
// in KiB; -1 when it cannot be measured. Measured before any benchmark, so
// that no memory an earlier open freed (and the allocator kept) is reused.
long MeasurePeakKiB() {
  CBenchFileScreen bench;
  return PeakGrowthInChildKiB([&] { bench.Open(gHuge); });
}

}  // namespace

int main(int argc, char** argv) {
  EnterDeviceSandbox(argc, argv);
  MakeFixture();
  const long peak = MeasurePeakKiB();
  benchmark::Initialize(&argc, argv);
  CWallRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintWallRatio("file_open_2gib_vs_50_lines", "BM_OpenHuge", "BM_OpenFiftyLines", kRepeats);
  if (peak >= 0) std::printf("ratio file_open_2gib_peak_kib %ld\n", peak);
  benchmark::Shutdown();
  RemoveFixture();
  return 0;
}
