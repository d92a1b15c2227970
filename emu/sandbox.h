#pragma once
// The device sandbox: runs a command in a private file-system view made with
// bubblewrap. The host is visible read-only, also to a caller that is root;
// the device's fixed places are fresh and empty (/var/run, /mnt, /dev, /tmp
// and, on request, /proc/corvina); only the places the caller names (the
// card when asked, further binds) are writable host folders. The command runs
// as an unprivileged user so that permission checks apply.

#include <string>
#include <utility>
#include <vector>

struct SandboxOptions {
  // Uid and gid inside the sandbox. Non-zero so that permission checks apply
  // even when the caller is root.
  int uid = 1000;
  int gid = 1000;
  // A writable /proc/corvina beside the real procfs entries (the sanitizers
  // read /proc/self and /proc/<pid>/task). The sandbox then has its own pid
  // namespace, so the program sees its own pid as the device would.
  bool procCorvina = false;
  // Host folder bound at /mnt/sdcard, empty for none; read-only unless cardWritable.
  std::string cardDir;
  bool cardWritable = false;
  // Further host folders bound writable: {host, inside}.
  std::vector<std::pair<std::string, std::string>> binds;
  // Host paths the command needs (its program, its build tree): where one
  // lies under /tmp, which the sandbox makes fresh, the folder of /tmp that
  // holds it stays visible, read-only, at its own path.
  std::vector<std::string> keepVisible;
  // The kestrel-sandbox program, which prepares /proc inside a sandbox with
  // procCorvina (see SandboxPrepareProc).
  std::string tool;
};

// Where the sandbox's fresh /var/run is: on Debian /var/run is a link to
// /run, and the tmpfs goes where the link points. A bind onto it replaces it.
std::string SandboxRunDir();

// The kestrel-sandbox program of this build.
std::string DefaultSandboxTool();

// The full argument vector (starting with the bwrap program) that runs
// `command` inside the sandbox.
std::vector<std::string> SandboxCommand(const SandboxOptions& options,
                                        const std::vector<std::string>& command);

// True when a sandbox with these options can be made here: it makes one and
// runs /bin/true in it. Otherwise false with the reason (bwrap's own words
// where it gave some) in `why`.
bool SandboxAvailable(const SandboxOptions& options, std::string* why);

// Runs inside a sandbox with procCorvina, before the command: fills the /proc
// tmpfs with links into the real procfs for every process id that can occur
// there, makes /proc/corvina, drops the capabilities it needed and executes
// `command`. Returns only on failure (a message is printed), with exit status 1.
int SandboxPrepareProc(char** command);

// Option of kestrel-sandbox that runs SandboxPrepareProc.
constexpr const char* kPrepareProcOption = "--prepare-proc";

// Set inside the sandbox so that tests can refuse to touch a host's device paths.
constexpr const char* kSandboxEnv = "KESTREL_SANDBOX";
