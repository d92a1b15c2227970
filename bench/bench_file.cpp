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
#include "bench/ratio_reporter.h"
#include "device/device_seams.h"
#include "device/memory_frame_buffer.h"
#include "ui/skin.h"
#include "ui/ui_seams.h"

extern char** environ;

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
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  std::string file = gFile;
  char wc[] = "wc", minusL[] = "-l";
  char* argv[] = {wc, minusL, file.data(), nullptr};
  for (auto _ : state) {
    pid_t pid;
    int status = 0;
    if (posix_spawnp(&pid, "wc", &actions, nullptr, argv, environ) != 0 || waitpid(pid, &status, 0) != pid ||
        !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      state.SkipWithError("wc -l failed");
      break;
    }
  }
  posix_spawn_file_actions_destroy(&actions);
}

// wc runs in a child process, so both are timed by the wall clock.
constexpr int kRepeats = 5;
BENCHMARK(BM_WcLines)->UseRealTime()->Repetitions(kRepeats)->ReportAggregatesOnly(true);
BENCHMARK(BM_OpenMillionLines)->UseRealTime()->Repetitions(kRepeats)->ReportAggregatesOnly(true);

// Real time per iteration of each run (the medians of repeated runs).
class CRealTimeReporter : public CRatioReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) iReal[r.benchmark_name()] = r.GetAdjustedRealTime();
    CRatioReporter::ReportRuns(runs);
  }
  void PrintRatio(const char* name, const std::string& run, const std::string& baseline) const {
    const std::string suffix = "/repeats:" + std::to_string(kRepeats) + "/real_time_median";
    auto r = iReal.find(run + suffix), b = iReal.find(baseline + suffix);
    if (r != iReal.end() && b != iReal.end() && b->second > 0)
      std::printf("ratio %s %.3f\n", name, r->second / b->second);
  }

 private:
  std::map<std::string, double> iReal;
};

long StatusKilobytes(const char* key) {
  FILE* f = std::fopen("/proc/self/status", "r");
  if (f == nullptr) return -1;
  char line[256];
  long value = -1;
  const size_t n = std::strlen(key);
  while (std::fgets(line, sizeof line, f) != nullptr)
    if (std::strncmp(line, key, n) == 0) value = std::strtol(line + n, nullptr, 10);
  std::fclose(f);
  return value;
}

// The peak of one open over the resident set before it, as a multiple of
// the file's size; -1 when it cannot be measured. In a child forked before
// any benchmark, so that no memory an earlier open freed (and the allocator
// kept) is reused.
double MeasurePeakMemory() {
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return -1;
  const pid_t pid = fork();
  if (pid < 0) {
    close(pipeFds[0]);
    close(pipeFds[1]);
    return -1;
  }
  if (pid == 0) {
    close(pipeFds[0]);
    double ratio = -1;
    {
      CBenchFileScreen bench;
      const long before = StatusKilobytes("VmRSS:");
      // "5" resets the peak to the resident set now.
      const int clear = open("/proc/self/clear_refs", O_WRONLY);
      const bool reset = clear >= 0 && write(clear, "5", 1) == 1;
      if (clear >= 0) close(clear);
      if (reset && before > 0) {
        bench.Open();
        const long peak = StatusKilobytes("VmHWM:");
        if (peak > 0) ratio = static_cast<double>(peak - before) * 1024.0 / static_cast<double>(gFileBytes);
      }
    }
    ssize_t ignored = write(pipeFds[1], &ratio, sizeof ratio);
    (void)ignored;
    _exit(0);
  }
  close(pipeFds[1]);
  double ratio = -1;
  const bool got = read(pipeFds[0], &ratio, sizeof ratio) == static_cast<ssize_t>(sizeof ratio);
  close(pipeFds[0]);
  waitpid(pid, nullptr, 0);
  return got ? ratio : -1;
}

}  // namespace

int main(int argc, char** argv) {
  MakeFixture();
  const double peak = MeasurePeakMemory();
  benchmark::Initialize(&argc, argv);
  CRealTimeReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatio("file_1m_lines_vs_wc", "BM_OpenMillionLines", "BM_WcLines");
  if (peak >= 0) std::printf("ratio file_1m_lines_peak_memory_vs_size %.3f\n", peak);
  benchmark::Shutdown();
  RemoveFixture();
  return 0;
}
