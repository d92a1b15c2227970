#pragma once
// Console reporter that remembers each run's processor time, so that a
// benchmark program can print its figures as ratios of runs in the same process.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

class CRatioReporter : public benchmark::ConsoleReporter {
 public:
  // Colour only on a terminal: piped output keeps each "ratio" line free of
  // the escape codes that would otherwise open it.
  CRatioReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Color : OO_None) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) iTimes[r.benchmark_name()] = r.GetAdjustedCPUTime();
    ConsoleReporter::ReportRuns(runs);
  }
  // Processor time per iteration of a run (its median when repeated); 0 when absent.
  double Time(const std::string& run, int repeats) const {
    const std::string name = repeats > 1 ? run + "/repeats:" + std::to_string(repeats) + "_median" : run;
    auto it = iTimes.find(name);
    return it == iTimes.end() ? 0 : it->second;
  }
  // Prints "ratio <name> <run / baseline>" when both were measured.
  void PrintRatio(const char* name, const std::string& run, const std::string& baseline, int repeats) const {
    const double r = Time(run, repeats), b = Time(baseline, repeats);
    if (r > 0 && b > 0) std::printf("ratio %s %.3f\n", name, r / b);
  }

 private:
  std::map<std::string, double> iTimes;
};

// The common baseline: memcpy of a screen of RGB565 pixels, Args({width, height}).
inline void BM_Memcpy(benchmark::State& state) {
  const size_t bytes = static_cast<size_t>(state.range(0) * state.range(1) * 2);
  std::vector<uint8_t> from(bytes, 1), to(bytes);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), bytes);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
}

// One figure of a benchmark program: the ratio of run to baseline.
struct RatioFigure {
  const char* name;
  const char* run;
  const char* baseline;
};

// The whole main of a benchmark program: runs its benchmarks, then prints
// one "ratio" line per figure (runs repeated `repeats` times compare medians).
inline int RunBenchmarksWithRatios(int argc, char** argv, std::initializer_list<RatioFigure> figures,
                                   int repeats) {
  benchmark::Initialize(&argc, argv);
  CRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  for (const RatioFigure& f : figures) reporter.PrintRatio(f.name, f.run, f.baseline, repeats);
  benchmark::Shutdown();
  return 0;
}
