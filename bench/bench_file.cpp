// Opening a file of a million lines (about 30 MB) on the file screen, up to
// its first frame flushed, beside `wc -l` counting the same file's lines in
// the same run; and the peak memory of that open as a multiple of the file's
// size, measured in a child process.
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

constexpr int kLines = 1000000;
std::string gFolder;
std::string gFile;
uint64_t gFileBytes = 0;

// Lines of 30 bytes with their line feed.
void MakeFixture() {
  char pattern[] = "/tmp/kestrel-bench-file-XXXXXX";
  if (mkdtemp(pattern) == nullptr) std::abort();
  gFolder = pattern;
  gFile = gFolder + "/million.txt";
  FILE* f = std::fopen(gFile.c_str(), "wb");
  if (f == nullptr) std::abort();
  for (int i = 0; i < kLines; ++i) std::fprintf(f, "%07d the quick brown fox j\n", i);
  gFileBytes = static_cast<uint64_t>(std::ftell(f));
  std::fclose(f);
}

void RemoveFixture() {
  unlink(gFile.c_str());
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
  void Open() {
    iScreen->Refresh_Screen(gFile.c_str(), true);
    GetVirtualScreen()->Flush(true);
  }

 private:
  CMemoryFrameBuffer iDisplay;
  CFile_Screen* iScreen = nullptr;
};

void BM_OpenMillionLines(benchmark::State& state) {
  CBenchFileScreen bench;
  for (auto _ : state) {
    bench.Open();
    benchmark::ClobberMemory();
  }
  if (file_lines.Size() != kLines + 1) state.SkipWithError("the file was not read whole");
}

void BM_WcLines(benchmark::State& state) {
  for (auto _ : state) {
    if (!RunQuietly({"wc", "-l", gFile}, false)) {
      state.SkipWithError("wc -l failed");
      break;
    }
  }
}

// wc runs in a child process, so both are timed by the wall clock.
constexpr int kRepeats = 5;
BENCHMARK(BM_WcLines)->UseRealTime()->Repetitions(kRepeats)->ReportAggregatesOnly(true);
BENCHMARK(BM_OpenMillionLines)->UseRealTime()->Repetitions(kRepeats)->ReportAggregatesOnly(true);

// Real time per iteration of each run (the medians of repeated runs).
// The peak of one open over the resident set before it, as a multiple of
// the file's size; -1 when it cannot be measured. Measured before any
// benchmark, so that no memory an earlier open freed (and the allocator
// kept) is reused.
double MeasurePeakMemory() {
  CBenchFileScreen bench;
  const long kib = PeakGrowthInChildKiB([&] { bench.Open(); });
  return kib < 0 ? -1 : static_cast<double>(kib) * 1024.0 / static_cast<double>(gFileBytes);
}

}  // namespace

int main(int argc, char** argv) {
  EnterDeviceSandbox(argc, argv);
  MakeFixture();
  const double peak = MeasurePeakMemory();
  benchmark::Initialize(&argc, argv);
  CWallRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintWallRatio("file_1m_lines_vs_wc", "BM_OpenMillionLines", "BM_WcLines", kRepeats);
  if (peak >= 0) std::printf("ratio file_1m_lines_peak_memory_vs_size %.3f\n", peak);
  benchmark::Shutdown();
  RemoveFixture();
  return 0;
}
