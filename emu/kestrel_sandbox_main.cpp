// kestrel-sandbox [--uid N] [--proc-corvina] [--card DIR] [--card-rw] -- command args...
// Runs the command in the device sandbox. When no sandbox can be made it
// prints why and exits 77 (the test runner's "skipped"), or 1 under CI=true.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "emu/sandbox.h"

int main(int argc, char** argv) {
  SandboxOptions o;
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
    } else {
      std::fprintf(stderr, "kestrel-sandbox: unknown option %s\n", argv[i]);
      return 2;
    }
  }
  if (i >= argc) {
    std::fprintf(stderr, "usage: kestrel-sandbox [--uid N] [--proc-corvina] [--card DIR] [--card-rw] -- command args...\n");
    return 2;
  }
  std::string why;
  if (!SandboxAvailable(&why)) {
    const char* ci = std::getenv("CI");
    bool underCi = ci != nullptr && std::strcmp(ci, "true") == 0;
    std::fprintf(stderr, "kestrel-sandbox: %s: %s\n", underCi ? "FAILED" : "SKIPPED", why.c_str());
    return underCi ? 1 : 77;
  }
  std::vector<std::string> command(argv + i, argv + argc);
  std::vector<std::string> args = SandboxCommand(o, command);
  std::vector<char*> cargv;
  for (auto& s : args) cargv.push_back(s.data());
  cargv.push_back(nullptr);
  execv(cargv[0], cargv.data());
  std::perror("kestrel-sandbox: exec bwrap");
  return 1;
}
