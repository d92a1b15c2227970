#pragma once
// What the host's /proc tells of the processes the emulator started.

#include <sys/types.h>

#include <cstdint>

// What the host knows of a process: its id as the innermost pid namespace
// sees it (the last NSpid entry), its context switches that it asked for
// (each sleep is one), its processor time and its peak resident size. False
// when the process is gone.
struct ProcessFigures {
  int32_t innerPid = 0;
  int nsLevels = 0;
  uint64_t voluntarySwitches = 0;
  uint64_t cpuTicks = 0;  // user + system, in clock ticks
  uint64_t peakRssKiB = 0;
};
bool ReadProcessFigures(pid_t hostPid, ProcessFigures& figures);

// The program inside a sandbox started as `root`: the one process at the
// end of its single chain of children that lives in a nested pid namespace
// and is not that namespace's first process. 0 while there is none yet.
pid_t FindSandboxedProgram(pid_t root);
