// Opening a folder of 100,000 names on the directory screen (the listing and
// the first frame drawn and flushed, debug log off) against `ls -1` in the C
// locale on the same folder, both in wall time: ls runs as a child process,
// whose processor time the parent's clock would not see. And the peak memory
// growth of listing a folder of 1,000,000 names, measured in a forked child
// from its high-water mark: the listing keeps 48 names whatever the folder.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <ftw.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/directory_screen.h"
#include "app/globals.h"
#include "bench/device_sandbox.h"
#include "bench/process_figures.h"
#include "device/device_seams.h"
#include "device/memory_frame_buffer.h"
#include "ui/skin.h"
#include "ui/ui_seams.h"

namespace {

constexpr int kSmallFolder = 100000;
constexpr int kLargeFolder = 1000000;
constexpr const char* kDejaVuSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

std::string gRoot;
std::map<int, std::string> gFolders;
double gPeakGrowthMiB = -1;

std::string Root() {
  if (gRoot.empty()) {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/kestrel-bench-dir-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    gRoot = pattern;
  }
  return gRoot;
}

void WriteFile(const std::string& path, const char* content) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return;
  std::fputs(content, f);
  std::fclose(f);
}

// A folder of `count` empty files, made once per run; the names are made in
// a scattered order.
const std::string& Folder(int count) {
  std::string& folder = gFolders[count];
  if (!folder.empty()) return folder;
  folder = Root() + "/folder" + std::to_string(count);
  mkdir(folder.c_str(), 0755);
  char name[64];
  for (int i = 0; i < count; ++i) {
    const long n = (static_cast<long>(i) * 7919) % count;
    std::snprintf(name, sizeof name, "/track %07ld.mp3", n);
    const int fd = open((folder + name).c_str(), O_CREAT | O_WRONLY, 0644);
    if (fd >= 0) close(fd);
  }
  return folder;
}

int RemoveEntry(const char* path, const struct stat*, int, struct FTW*) { return remove(path); }

void RemoveRoot() {
  if (!gRoot.empty()) nftw(gRoot.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
}

// The directory screen on a 320 x 240 memory display, in DejaVu Sans, every
// name passing the filters; its first frame is already drawn.
class CBenchDirectory {
 public:
  CBenchDirectory() : iDisplay(320, 240) {
    SetFrameBufferForTesting(&iDisplay);
    SetModelIdForTesting(7);
    SetActivePidForTesting(static_cast<int32_t>(getpid()));
    const std::string skin = Root() + "/skin";
    mkdir(skin.c_str(), 0755);
    if (symlink(kDejaVuSans, (skin + "/DejaVuSans.ttf").c_str()) == 0) {
      WriteFile(skin + "/ControlFont.txt", "DejaVuSans 16\n0 0 0\n");
      WriteFile(skin + "/ButtonFont.txt", "DejaVuSans 18\n");
    }
    SetSkinFolder(Root().c_str());
    ResetGlobalsForTesting();
    name_filters.Append("");
    iScreen = std::make_unique<CDirectory_Screen>();
    GetSkin()->SetColorScheme(CDirectory_Screen::kSchemeIndex);
    iScreen->Draw();
  }
  ~CBenchDirectory() {
    iScreen.reset();
    ResetUIForTesting();
    ResetDeviceForTesting();
  }

  // What the user waits for when a folder opens.
  void Open(const std::string& folder) {
    iScreen->Refresh_Screen(folder);
    GetVirtualScreen()->Flush(true);
  }

 private:
  CMemoryFrameBuffer iDisplay;
  std::unique_ptr<CDirectory_Screen> iScreen;
};

void BM_OpenFolder(benchmark::State& state) {
  const std::string& folder = Folder(kSmallFolder);
  CBenchDirectory bench;
  for (auto _ : state) {
    bench.Open(folder);
    benchmark::ClobberMemory();
  }
}

void BM_LsFolder(benchmark::State& state) {
  const std::string& folder = Folder(kSmallFolder);
  for (auto _ : state) {
    if (!RunQuietly({"ls", "-1", folder}, true)) {
      state.SkipWithError("ls failed");
      break;
    }
  }
}

void BM_PeakGrowth1M(benchmark::State& state) {
  const std::string& folder = Folder(kLargeFolder);
  CBenchDirectory bench;
  bench.Open(Folder(kSmallFolder));  // warm: fonts, the list's rows, the library's buffers
  long growth = -1;
  for (auto _ : state) growth = PeakGrowthInChildKiB([&] { bench.Open(folder); });
  if (growth < 0) {
    state.SkipWithError("no high-water mark");
    return;
  }
  state.counters["peak_growth_KiB"] = static_cast<double>(growth);
  gPeakGrowthMiB = static_cast<double>(growth) / 1024;
}

constexpr int kRepeats = 5;
BENCHMARK(BM_OpenFolder)->UseRealTime()->Unit(benchmark::kMillisecond)->Repetitions(kRepeats)->ReportAggregatesOnly(true);
BENCHMARK(BM_LsFolder)->UseRealTime()->Unit(benchmark::kMillisecond)->Repetitions(kRepeats)->ReportAggregatesOnly(true);
BENCHMARK(BM_PeakGrowth1M)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  EnterDeviceSandbox(argc, argv);
  benchmark::Initialize(&argc, argv);
  CWallRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintWallRatio("folder_100k_vs_ls", "BM_OpenFolder", "BM_LsFolder", kRepeats);
  if (gPeakGrowthMiB >= 0) std::printf("ratio folder_1m_peak_growth_mib %.3f\n", gPeakGrowthMiB);
  benchmark::Shutdown();
  RemoveRoot();
  return 0;
}
