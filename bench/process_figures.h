#pragma once
// Figures that need another process: a baseline tool run as a child (its
// time is wall time, which the parent's processor clock does not see), the
// ratio reporter in wall time, and the peak memory that some work adds,
// measured in a forked child from its high-water mark.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "bench/ratio_reporter.h"

extern char** environ;

// Runs the program (found on PATH) with its output thrown away and waits
// for it; true when it exited with 0. cLocale: run it with LC_ALL=C only.
inline bool RunQuietly(const std::vector<std::string>& args, bool cLocale) {
  std::vector<std::string> copies(args);
  std::vector<char*> argv;
  for (std::string& a : copies) argv.push_back(a.data());
  argv.push_back(nullptr);
  static char locale[] = "LC_ALL=C";
  char* cEnv[] = {locale, nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  int exitStatus = 0;
  const bool ok = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), cLocale ? cEnv : environ) == 0 &&
                  waitpid(pid, &exitStatus, 0) == pid && WIFEXITED(exitStatus) && WEXITSTATUS(exitStatus) == 0;
  posix_spawn_file_actions_destroy(&actions);
  return ok;
}

// A "VmHWM:"-like line of /proc/self/status in KiB, or -1.
inline long StatusKiB(const char* key) {
  FILE* f = std::fopen("/proc/self/status", "r");
  if (f == nullptr) return -1;
  char line[256];
  long kib = -1;
  const std::string prefix(key);
  while (std::fgets(line, sizeof line, f) != nullptr)
    if (prefix.compare(0, prefix.size(), line, prefix.size()) == 0) kib = std::strtol(line + prefix.size(), nullptr, 10);
  std::fclose(f);
  return kib;
}

// The high-water mark that `work` adds, in KiB, measured in a forked child:
// a child's mark starts at its resident size at the fork (and clear_refs "5"
// resets it there too, where /proc is writable, not in the device sandbox);
// -1 on failure.
template <class Work>
long PeakGrowthInChildKiB(Work work) {
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return -1;
  const pid_t pid = fork();
  if (pid == 0) {
    close(pipeFds[0]);
    long growth = -1;
    const int clear = open("/proc/self/clear_refs", O_WRONLY);
    if (clear >= 0) {
      (void)!write(clear, "5", 1);
      close(clear);
    }
    const long before = StatusKiB("VmHWM:");
    if (before > 0) {
      work();
      const long after = StatusKiB("VmHWM:");
      if (after > 0) growth = after - before;
    }
    (void)!write(pipeFds[1], &growth, sizeof growth);
    _exit(0);
  }
  close(pipeFds[1]);
  long growth = -1;
  if (pid < 0 || read(pipeFds[0], &growth, sizeof growth) != static_cast<ssize_t>(sizeof growth)) growth = -1;
  close(pipeFds[0]);
  if (pid > 0) waitpid(pid, nullptr, 0);
  return growth;
}

// The ratio reporter with figures in wall time, for runs beside a child
// process; runs repeated `repeats` times compare their medians.
class CWallRatioReporter final : public CRatioReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) iWall[r.benchmark_name()] = r.GetAdjustedRealTime();
    CRatioReporter::ReportRuns(runs);
  }
  void PrintWallRatio(const char* name, const std::string& run, const std::string& baseline, int repeats) const {
    const std::string suffix = "/repeats:" + std::to_string(repeats) + "/real_time_median";
    auto r = iWall.find(run + suffix), b = iWall.find(baseline + suffix);
    if (r != iWall.end() && b != iWall.end() && b->second > 0) std::printf("ratio %s %.3f\n", name, r->second / b->second);
  }

 private:
  std::map<std::string, double> iWall;
};
