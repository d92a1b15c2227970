#include "emu/process_info.h"

#include <dirent.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// The text of /proc/<pid>/<name>, at most 4 KiB.
std::string ProcFile(pid_t pid, const char* name) {
  char path[64];
  std::snprintf(path, sizeof path, "/proc/%d/%s", static_cast<int>(pid), name);
  std::string text;
  FILE* f = std::fopen(path, "r");
  if (f == nullptr) return text;
  char buf[4096];
  const size_t n = std::fread(buf, 1, sizeof buf, f);
  std::fclose(f);
  text.assign(buf, n);
  return text;
}

// The numbers after "<key>:" on its line of a status text.
std::vector<uint64_t> StatusNumbers(const std::string& status, const char* key) {
  std::vector<uint64_t> values;
  const std::string tag = std::string("\n") + key + ":";
  size_t at = ("\n" + status).find(tag);
  if (at == std::string::npos) return values;
  const char* p = status.c_str() + at + tag.size() - 1;
  while (*p != '\0' && *p != '\n') {
    char* end = nullptr;
    const unsigned long long v = std::strtoull(p, &end, 10);
    if (end == p) {
      ++p;
      continue;
    }
    values.push_back(v);
    p = end;
  }
  return values;
}

}  // namespace

bool ReadProcessFigures(pid_t hostPid, ProcessFigures& f) {
  const std::string status = ProcFile(hostPid, "status");
  if (status.empty()) return false;
  const std::vector<uint64_t> ns = StatusNumbers(status, "NSpid");
  f.nsLevels = static_cast<int>(ns.size());
  f.innerPid = ns.empty() ? static_cast<int32_t>(hostPid) : static_cast<int32_t>(ns.back());
  const std::vector<uint64_t> sw = StatusNumbers(status, "voluntary_ctxt_switches");
  f.voluntarySwitches = sw.empty() ? 0 : sw.front();
  const std::vector<uint64_t> hwm = StatusNumbers(status, "VmHWM");
  f.peakRssKiB = hwm.empty() ? 0 : hwm.front();
  // utime and stime are fields 14 and 15 of stat, counted after the name's ')'.
  const std::string stat = ProcFile(hostPid, "stat");
  const size_t close = stat.rfind(')');
  f.cpuTicks = 0;
  if (close != std::string::npos) {
    const char* p = stat.c_str() + close + 1;
    for (int field = 3; field <= 15 && *p != '\0'; ++field) {
      while (*p == ' ') ++p;
      char* end = nullptr;
      const unsigned long long v = std::strtoull(p, &end, 10);
      if (field >= 14) f.cpuTicks += v;
      p = end != p ? end : p + 1;
      while (*p != '\0' && *p != ' ') ++p;
    }
  }
  return true;
}

namespace {

std::vector<pid_t> ChildrenOf(pid_t parent) {
  std::vector<pid_t> children;
  DIR* d = opendir("/proc");
  if (d == nullptr) return children;
  while (dirent* e = readdir(d)) {
    if (e->d_name[0] < '0' || e->d_name[0] > '9') continue;
    const pid_t pid = static_cast<pid_t>(std::atoi(e->d_name));
    const std::vector<uint64_t> ppid = StatusNumbers(ProcFile(pid, "status"), "PPid");
    if (!ppid.empty() && static_cast<pid_t>(ppid.front()) == parent) children.push_back(pid);
  }
  closedir(d);
  return children;
}

}  // namespace

pid_t FindSandboxedProgram(pid_t root) {
  pid_t at = root;
  for (int depth = 0; depth < 8; ++depth) {
    const std::vector<pid_t> children = ChildrenOf(at);
    if (children.size() != 1) break;
    at = children.front();
    ProcessFigures f;
    if (ReadProcessFigures(at, f) && f.nsLevels > 1 && f.innerPid != 1) return at;
  }
  return 0;
}
