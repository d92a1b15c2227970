#pragma once
// The master user-interface process of the emulated device: it creates the
// registry file "uipidshm" in the device's /var/run before the program
// starts, so the program opens it as a slave, and writes there the process id
// of the process that owns the display and the input, as the program sees
// its own id (the sandbox has a pid namespace of its own).

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
