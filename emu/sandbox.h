#pragma once
// The device sandbox: runs a command in a private file-system view that has
// the device's fixed places fresh and empty (/var/run, /mnt, /dev and,
// on request, /proc/corvina), as an unprivileged user, with the rest of the
// host visible read-only for that user. Built with bubblewrap.

#include <string>
#include <vector>

struct SandboxOptions {
  // Uid and gid inside the sandbox. Non-zero so that permission checks apply
  // even when the caller is root.
  int uid = 1000;
  int gid = 1000;
  // Replace /proc/corvina with an empty writable folder while keeping the
  // real procfs for everything else (the sanitizers read /proc/self).
  bool procCorvina = false;
  // Host folder bound at /mnt/sdcard, empty for none.
  std::string cardDir;
  bool cardWritable = false;
  // Further host folders bound read-write: {host, inside}.
  std::vector<std::pair<std::string, std::string>> binds;
};

// The full argument vector (starting with the bwrap program) that runs
// `command` inside the sandbox.
std::vector<std::string> SandboxCommand(const SandboxOptions& options,
                                        const std::vector<std::string>& command);

// True when a sandbox can be made on this machine; otherwise false with the
// reason in `why`.
bool SandboxAvailable(std::string* why);

// Set inside the sandbox so that tests can refuse to touch a host's device paths.
constexpr const char* kSandboxEnv = "KESTREL_SANDBOX";
