// kestrel-sandbox [--uid N] [--proc-corvina] [--card DIR] [--card-rw] [--bind HOST INSIDE]...
//                 -- command args...
// Runs the command in the device sandbox: the host read-only, a fresh /tmp
// (where the command or its paths live under /tmp, that folder stays visible,
// read-only), the card read-only unless --card-rw, each --bind folder
// writable. When no sandbox can be made it prints why and exits 77 (the test
// runner's "skipped"), or 1 under CI=true.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "emu/sandbox.h"

namespace {

constexpr const char* kUsage =
    "usage: kestrel-sandbox [--uid N] [--proc-corvina] [--card DIR] [--card-rw] "
    "[--bind HOST INSIDE]... -- command args...\n";

// This program itself, as the host sees it, so that the sandbox can run it
// again inside to prepare /proc.
std::string SelfPath() {
  char path[4096];
  ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return std::string();
  path[n] = '\0';
  return path;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], kPrepareProcOption) == 0 && std::strcmp(argv[2], "--") == 0) {
    if (argc == 3) {
      std::fputs(kUsage, stderr);
      return 2;
    }
    return SandboxPrepareProc(argv + 3);
  }
  SandboxOptions o;
  o.tool = SelfPath();
  int i = 1;
  for (; i < argc; ++i) {
    if (std::strcmp(argv[i], "--") == 0) { ++i; break; }
    if (std::strcmp(argv[i], "--uid") == 0 && i + 1 < argc) {
      o.uid = o.gid = std::atoi(argv[++i]);
    } else if (std::strcmp(argv[i], "--proc-corvina") == 0) {
      o.procCorvina = true;
    } else if (std::strcmp(argv[i], "--card") == 0 && i + 1 < argc) {
      o.cardDir = argv[++i];
    } else if (std::strcmp(argv[i], "--card-rw") == 0) {
      o.cardWritable = true;
    } else if (std::strcmp(argv[i], "--bind") == 0 && i + 2 < argc) {
      o.binds.emplace_back(argv[i + 1], argv[i + 2]);
      i += 2;
    } else {
      std::fprintf(stderr, "kestrel-sandbox: unknown option %s\n", argv[i]);
      std::fputs(kUsage, stderr);
      return 2;
    }
  }
  if (i >= argc) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  std::string why;
  if (!SandboxAvailable(o, &why)) {
    const char* ci = std::getenv("CI");
    bool underCi = ci != nullptr && std::strcmp(ci, "true") == 0;
    std::fprintf(stderr, "kestrel-sandbox: %s: %s\n", underCi ? "FAILED" : "SKIPPED", why.c_str());
    return underCi ? 1 : 77;
  }
  std::vector<std::string> command(argv + i, argv + argc);
  // What the command runs from: its program and the paths it is given, and
  // the working folder.
  for (const std::string& word : command) {
    if (!word.empty() && word[0] == '/') o.keepVisible.push_back(word);
  }
  char cwd[4096];
  if (getcwd(cwd, sizeof cwd) != nullptr) o.keepVisible.emplace_back(cwd);
  std::vector<std::string> args = SandboxCommand(o, command);
  std::vector<char*> cargv;
  for (auto& s : args) cargv.push_back(s.data());
  cargv.push_back(nullptr);
  execv(cargv[0], cargv.data());
  std::perror("kestrel-sandbox: exec bwrap");
  return 1;
}
