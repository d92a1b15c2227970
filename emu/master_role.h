#pragma once
// The master user-interface process of the emulated device: it creates the
// registry file "uipidshm" in the device's /var/run before the program
// starts, so the program opens it as a slave, and writes there the process id
// of the process that owns the display and the input, as the program sees
// its own id (the sandbox has a pid namespace of its own).

#include <sys/types.h>

#include <cstdint>
#include <string>

class CMasterRole {
 public:
  CMasterRole() = default;
  ~CMasterRole();
  CMasterRole(const CMasterRole&) = delete;
  CMasterRole& operator=(const CMasterRole&) = delete;

  // Creates <runDir>/uipidshm holding 0 (no process active) and maps it.
  bool Create(const std::string& runDir);
  void SetActive(int32_t pid);
  int32_t Active() const;

 private:
  int iFd = -1;
  volatile int32_t* iShared = nullptr;
};

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
