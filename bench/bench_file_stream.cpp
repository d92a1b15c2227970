// Reading a text file line by line through CFileStream, beside the library's
// fgets on the same file; scanning a directory with CFileScanner, beside
// readdir and stat of the same entries.
#include <benchmark/benchmark.h>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/ratio_reporter.h"
#include "sysutil/file_scanner.h"
#include "sysutil/file_stream.h"

namespace {

std::string gFolder;
std::string gTextFile;

void MakeFixtures() {
  char pattern[] = "/tmp/kestrel-bench-XXXXXX";
  if (mkdtemp(pattern) == nullptr) std::abort();
  gFolder = pattern;
  gTextFile = gFolder + "/lines.txt";
  FILE* f = std::fopen(gTextFile.c_str(), "wb");
  if (f == nullptr) std::abort();
  for (int i = 0; i < 8000; ++i) std::fprintf(f, "%05d %s\n", i, std::string(70, 'a' + i % 26).c_str());
  std::fclose(f);
  std::string files = gFolder + "/files";
  mkdir(files.c_str(), 0755);
  for (int i = 0; i < 500; ++i) {
    std::string name = files + "/entry" + std::to_string(i) + ".dat";
    FILE* e = std::fopen(name.c_str(), "wb");
    if (e != nullptr) std::fclose(e);
  }
}

void RemoveFixtures() {
  std::string command = "rm -rf '" + gFolder + "'";
  if (std::system(command.c_str()) != 0) std::fprintf(stderr, "could not remove %s\n", gFolder.c_str());
}

void BM_Fgets(benchmark::State& state) {
  char line[256];
  for (auto _ : state) {
    FILE* f = std::fopen(gTextFile.c_str(), "rb");
    size_t total = 0;
    while (std::fgets(line, sizeof(line), f) != nullptr) total += 1;
    std::fclose(f);
    benchmark::DoNotOptimize(total);
  }
}

void BM_ReadLine(benchmark::State& state) {
  char line[256];
  CBoundedString path(gTextFile.c_str());
  for (auto _ : state) {
    CFileStream s;
    s.OpenRead(path, nullptr);
    size_t total = 0;
    while (s.ReadLine(line, sizeof(line)) >= 0) total += 1;
    s.Close();
    benchmark::DoNotOptimize(total);
  }
}

void BM_ReaddirStat(benchmark::State& state) {
  std::string files = gFolder + "/files/";
  for (auto _ : state) {
    DIR* d = opendir(files.c_str());
    size_t total = 0;
    while (struct dirent* e = readdir(d)) {
      std::string p = files + e->d_name;
      struct stat st;
      if (stat(p.c_str(), &st) == 0 && S_ISREG(st.st_mode)) total += 1;
    }
    closedir(d);
    benchmark::DoNotOptimize(total);
  }
}

void BM_Scanner(benchmark::State& state) {
  std::string files = gFolder + "/files/";
  CBoundedString path(files.c_str());
  for (auto _ : state) {
    CFileScanner scanner(path, CFileScanner::kFilesOnly, 0);
    size_t total = 0;
    for (auto* e = scanner.First(); e != nullptr; e = scanner.Next()) total += 1;
    benchmark::DoNotOptimize(total);
  }
}

// Medians of several repetitions, in processor time: the machine is shared.
BENCHMARK(BM_Fgets)->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK(BM_ReadLine)->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK(BM_ReaddirStat)->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK(BM_Scanner)->Repetitions(7)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
  MakeFixtures();
  benchmark::Initialize(&argc, argv);
  CRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatio("readline_vs_fgets", "BM_ReadLine", "BM_Fgets", 7);
  reporter.PrintRatio("scanner_vs_readdir_stat", "BM_Scanner", "BM_ReaddirStat", 7);
  benchmark::Shutdown();
  RemoveFixtures();
  return 0;
}
