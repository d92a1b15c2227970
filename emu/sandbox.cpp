#include "emu/sandbox.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr const char* kHostProc = "/.hostproc";
// Process ids reachable under /proc in a sandbox with /proc/corvina.
constexpr int kSandboxMaxPid = 1000;

std::string FindBwrap() {
  const char* candidates[] = {"/usr/bin/bwrap", "/usr/local/bin/bwrap", "/bin/bwrap"};
  for (const char* c : candidates) {
    if (access(c, X_OK) == 0) return c;
  }
  return std::string();
}

// /var/run is a link to /run on Debian: the fresh tmpfs goes where the link points.
std::string RunDir() {
  char target[256];
  ssize_t n = readlink("/var/run", target, sizeof target - 1);
  if (n <= 0) return "/var/run";
  target[n] = '\0';
  std::string t(target);
  if (!t.empty() && t[0] != '/') t = "/var/" + t;
  return t;
}

void Add(std::vector<std::string>& v, std::initializer_list<const char*> items) {
  for (const char* i : items) v.emplace_back(i);
}

}  // namespace

std::vector<std::string> SandboxCommand(const SandboxOptions& options,
                                        const std::vector<std::string>& command) {
  std::vector<std::string> a;
  a.push_back(FindBwrap());
  Add(a, {"--dev-bind", "/", "/", "--die-with-parent", "--unshare-user", "--unshare-ipc"});
  Add(a, {"--uid"});
  a.push_back(std::to_string(options.uid));
  Add(a, {"--gid"});
  a.push_back(std::to_string(options.gid));
  Add(a, {"--dev", "/dev", "--tmpfs"});
  a.push_back(RunDir());
  Add(a, {"--tmpfs", "/mnt"});
  if (options.procCorvina) {
    // A procfs cannot take a new folder, so /proc becomes a tmpfs of links
    // into a real procfs (mounted at /.hostproc) beside a writable corvina
    // folder. The sandbox gets its own pid namespace so that process ids stay
    // small and a fixed range of numeric links covers every process in it
    // (the sanitizers read /proc/self and /proc/<pid>/task).
    Add(a, {"--unshare-pid", "--proc", kHostProc, "--tmpfs", "/proc"});
    DIR* d = opendir("/proc");
    if (d != nullptr) {
      while (dirent* e = readdir(d)) {
        const char* n = e->d_name;
        if (std::strcmp(n, ".") == 0 || std::strcmp(n, "..") == 0) continue;
        if (std::strcmp(n, "corvina") == 0 || (n[0] >= '0' && n[0] <= '9')) continue;
        a.emplace_back("--symlink");
        a.push_back(std::string(kHostProc) + "/" + n);
        a.push_back(std::string("/proc/") + n);
      }
      closedir(d);
    }
    for (int pid = 1; pid <= kSandboxMaxPid; ++pid) {
      a.emplace_back("--symlink");
      a.push_back(std::string(kHostProc) + "/" + std::to_string(pid));
      a.push_back("/proc/" + std::to_string(pid));
    }
    Add(a, {"--dir", "/proc/corvina"});
  }
  if (!options.cardDir.empty()) {
    a.emplace_back(options.cardWritable ? "--bind" : "--ro-bind");
    a.push_back(options.cardDir);
    a.emplace_back("/mnt/sdcard");
  }
  for (const auto& b : options.binds) {
    a.emplace_back("--bind");
    a.push_back(b.first);
    a.push_back(b.second);
  }
  Add(a, {"--setenv", kSandboxEnv, "1", "--"});
  for (const auto& c : command) a.push_back(c);
  return a;
}

bool SandboxAvailable(std::string* why) {
  std::string bwrap = FindBwrap();
  if (bwrap.empty()) {
    if (why) *why = "bubblewrap (bwrap) is not installed; run tools/setup";
    return false;
  }
  SandboxOptions o;
  std::vector<std::string> args = SandboxCommand(o, {"/bin/true"});
  pid_t pid = fork();
  if (pid < 0) {
    if (why) *why = "fork failed";
    return false;
  }
  if (pid == 0) {
    std::vector<char*> argv;
    for (auto& s : args) argv.push_back(s.data());
    argv.push_back(nullptr);
    int devnull = open("/dev/null", O_WRONLY);
    if (devnull >= 0) dup2(devnull, 2);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    if (why) *why = "bubblewrap cannot make a user namespace here (unprivileged user namespaces disabled?)";
    return false;
  }
  return true;
}
