#include "emu/sandbox.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Where the sandbox's real procfs is mounted; /proc is a tmpfs of links into
// it. Inside the fresh /dev, because the host's root is bound read-only and
// may have no folder of that name to mount on.
constexpr const char* kHostProc = "/dev/.hostproc";
constexpr const char* kHostPidMax = "/dev/.hostproc/sys/kernel/pid_max";
// Process ids wrap below this in a sandbox with /proc/corvina, where the
// kernel lets a pid namespace have its own limit: at most about 4,000
// processes at once, which no test or emulated run comes near.
constexpr int kSandboxPidMax = 4096;
// The most /proc links made where the kernel keeps one limit for every
// namespace (about 0.35 s and 34 MB of kernel memory for 32,768).
constexpr int kMaxLinkedPids = 32768;

std::string FindBwrap() {
  const char* candidates[] = {"/usr/bin/bwrap", "/usr/local/bin/bwrap", "/bin/bwrap"};
  for (const char* c : candidates) {
    if (access(c, X_OK) == 0) return c;
  }
  return std::string();
}

}  // namespace

std::string SandboxRunDir() {
  char target[256];
  ssize_t n = readlink("/var/run", target, sizeof target - 1);
  if (n <= 0) return "/var/run";
  target[n] = '\0';
  std::string t(target);
  if (!t.empty() && t[0] != '/') t = "/var/" + t;
  return t;
}

namespace {

// The entry of /tmp that holds path ("/tmp/a" for "/tmp/a/b/c"), or empty
// when path is not under /tmp.
std::string TmpEntryOf(const std::string& path) {
  const std::string prefix = "/tmp/";
  if (path.compare(0, prefix.size(), prefix) != 0 || path.size() == prefix.size()) return std::string();
  const size_t end = path.find('/', prefix.size());
  return path.substr(0, end);
}

void Add(std::vector<std::string>& v, std::initializer_list<const char*> items) {
  for (const char* i : items) v.emplace_back(i);
}

int ReadPidMax() {
  FILE* f = std::fopen(kHostPidMax, "r");
  if (f == nullptr) return -1;
  int v = -1;
  if (std::fscanf(f, "%d", &v) != 1) v = -1;
  std::fclose(f);
  return v;
}

bool WritePidMax(int value) {
  FILE* f = std::fopen(kHostPidMax, "w");
  if (f == nullptr) return false;
  bool ok = std::fprintf(f, "%d", value) > 0;
  ok = std::fclose(f) == 0 && ok;
  return ok;
}

bool Link(const char* name) {
  std::string target = std::string(kHostProc) + "/" + name;
  std::string link = std::string("/proc/") + name;
  if (symlink(target.c_str(), link.c_str()) == 0 || errno == EEXIST) return true;
  std::fprintf(stderr, "kestrel-sandbox: cannot link %s: %s\n", link.c_str(), std::strerror(errno));
  return false;
}

// The capabilities that made /proc are not the command's.
bool DropCapabilities() {
  if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0) return false;
  prctl(PR_CAP_AMBIENT, PR_CAP_AMBIENT_CLEAR_ALL, 0, 0, 0);
  for (int cap = 0; cap <= CAP_LAST_CAP; ++cap) prctl(PR_CAPBSET_DROP, cap, 0, 0, 0);
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[2] = {};
  return syscall(SYS_capset, &header, data) == 0;
}

// Runs args, with its standard error into `err` (at most 4 KiB kept); the exit status or -1.
int RunCapturingErrors(std::vector<std::string> args, std::string* err) {
  int pipeFds[2];
  if (pipe2(pipeFds, O_CLOEXEC) != 0) return -1;
  pid_t pid = fork();
  if (pid < 0) {
    close(pipeFds[0]);
    close(pipeFds[1]);
    return -1;
  }
  if (pid == 0) {
    std::vector<char*> argv;
    for (auto& s : args) argv.push_back(s.data());
    argv.push_back(nullptr);
    int devnull = open("/dev/null", O_RDWR);
    if (devnull >= 0) {
      dup2(devnull, 0);
      dup2(devnull, 1);
    }
    dup2(pipeFds[1], 2);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(pipeFds[1]);
  char buf[512];
  ssize_t n;
  while ((n = read(pipeFds[0], buf, sizeof buf)) > 0 || (n < 0 && errno == EINTR)) {
    if (n > 0 && err->size() < 4096) err->append(buf, static_cast<size_t>(n));
  }
  close(pipeFds[0]);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

std::string DefaultSandboxTool() {
#ifdef KESTREL_SANDBOX_TOOL
  return KESTREL_SANDBOX_TOOL;
#else
  return std::string();
#endif
}

std::vector<std::string> SandboxCommand(const SandboxOptions& options,
                                        const std::vector<std::string>& command) {
  const std::string tool = options.tool.empty() ? DefaultSandboxTool() : options.tool;
  std::vector<std::string> a;
  a.push_back(FindBwrap());
  // The host read-only: a root caller's files stay out of reach, whatever the uid inside.
  Add(a, {"--ro-bind", "/", "/", "--die-with-parent", "--unshare-user", "--unshare-ipc"});
  Add(a, {"--uid"});
  a.push_back(std::to_string(options.uid));
  Add(a, {"--gid"});
  a.push_back(std::to_string(options.gid));
  Add(a, {"--dev", "/dev", "--tmpfs", "/tmp", "--tmpfs", "/mnt", "--tmpfs"});
  a.push_back(SandboxRunDir());
  if (options.procCorvina) {
    // A procfs cannot take a new folder, so /proc becomes a tmpfs of links
    // into a real procfs of the sandbox's own pid namespace; the prepare step
    // makes the links inside, with the capabilities added here, and drops them.
    Add(a, {"--unshare-pid", "--cap-add", "CAP_SYS_ADMIN", "--cap-add", "CAP_SETPCAP",
            "--proc", kHostProc, "--tmpfs", "/proc"});
  }
  // The prepare step runs the tool inside: it must be visible too.
  std::vector<std::string> visible = options.keepVisible;
  if (options.procCorvina) visible.push_back(tool);
  std::vector<std::string> kept;
  for (const std::string& p : visible) {
    std::string entry = TmpEntryOf(p);
    if (entry.empty() || access(entry.c_str(), F_OK) != 0) continue;
    bool again = false;
    for (const std::string& k : kept) again = again || k == entry;
    if (again) continue;
    kept.push_back(entry);
    a.emplace_back("--ro-bind");
    a.push_back(entry);
    a.push_back(entry);
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
  Add(a, {"--setenv", "TMPDIR", "/tmp", "--setenv", kSandboxEnv, "1", "--"});
  if (options.procCorvina) {
    a.push_back(tool);
    Add(a, {kPrepareProcOption, "--"});
  }
  for (const auto& c : command) a.push_back(c);
  return a;
}

bool SandboxAvailable(const SandboxOptions& options, std::string* why) {
  if (FindBwrap().empty()) {
    if (why) *why = "bubblewrap (bwrap) is not installed; run tools/setup";
    return false;
  }
  if (options.procCorvina && options.tool.empty() && DefaultSandboxTool().empty()) {
    if (why) *why = "no kestrel-sandbox program is known to prepare /proc/corvina";
    return false;
  }
  std::string err;
  int status = RunCapturingErrors(SandboxCommand(options, {"/bin/true"}), &err);
  if (status == 0) return true;
  while (!err.empty() && (err.back() == '\n' || err.back() == '\r')) err.pop_back();
  if (why) {
    *why = "bubblewrap cannot make the device sandbox here";
    if (!err.empty()) *why += ": " + err;
  }
  return false;
}

int SandboxPrepareProc(char** command) {
  int pidMax = ReadPidMax();
  if (pidMax > kSandboxPidMax && WritePidMax(kSandboxPidMax)) pidMax = ReadPidMax();
  if (pidMax <= 0) {
    std::fprintf(stderr, "kestrel-sandbox: cannot read %s/sys/kernel/pid_max\n", kHostProc);
    return 1;
  }
  int links = pidMax;
  if (links > kMaxLinkedPids) {
    // Ids count up from 1 in a fresh namespace, so only a run that starts
    // this many processes reaches the gap; say so rather than fail silently.
    links = kMaxLinkedPids;
    std::fprintf(stderr,
                 "kestrel-sandbox: warning: process ids here go up to %d (kernel.pid_max) and this "
                 "kernel cannot lower that for one sandbox; /proc has entries for ids below %d only, "
                 "so a process started after the first %d has no /proc entry\n",
                 pidMax, links, links - 1);
  }
  bool ok = true;
  if (DIR* d = opendir(kHostProc)) {
    while (dirent* e = readdir(d)) {
      const char* n = e->d_name;
      if (std::strcmp(n, ".") == 0 || std::strcmp(n, "..") == 0) continue;
      // Numeric entries are linked below for every id; a device's own
      // corvina folder stays outside, the sandbox has its own.
      if ((n[0] >= '0' && n[0] <= '9') || std::strcmp(n, "corvina") == 0) continue;
      ok = ok && Link(n);
    }
    closedir(d);
  } else {
    ok = false;
  }
  char name[16];
  for (int pid = 1; ok && pid < links; ++pid) {
    std::snprintf(name, sizeof name, "%d", pid);
    ok = Link(name);
  }
  if (ok && mkdir("/proc/corvina", 0755) != 0 && errno != EEXIST) {
    std::fprintf(stderr, "kestrel-sandbox: cannot make /proc/corvina: %s\n", std::strerror(errno));
    ok = false;
  }
  if (ok && !DropCapabilities()) {
    std::fprintf(stderr, "kestrel-sandbox: cannot drop capabilities: %s\n", std::strerror(errno));
    ok = false;
  }
  if (!ok) return 1;
  execvp(command[0], command);
  std::fprintf(stderr, "kestrel-sandbox: cannot run %s: %s\n", command[0], std::strerror(errno));
  return 1;
}
