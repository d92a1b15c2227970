// The sandbox seen from the host, run as root in CI: a program inside cannot
// write or create anything of the host's except the places the caller names,
// and the card is read-only unless asked.
#include "emu/sandbox.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace {

struct Result {
  int status = -1;  // exit status, -1 when it did not exit
  std::string output;
};

// Runs `script` with /bin/sh inside a sandbox made by the kestrel-sandbox
// program with `options`; its exit status and standard output.
Result RunInSandbox(std::vector<std::string> options, const std::string& script,
                    const std::vector<std::string>& scriptArgs = {}) {
  std::vector<std::string> args{KESTREL_SANDBOX_PROGRAM};
  args.insert(args.end(), options.begin(), options.end());
  args.insert(args.end(), {"--", "/bin/sh", "-c", script, "sh"});
  args.insert(args.end(), scriptArgs.begin(), scriptArgs.end());
  Result r;
  int out[2];
  if (pipe(out) != 0) return r;
  pid_t pid = fork();
  if (pid == 0) {
    dup2(out[1], 1);
    close(out[0]);
    close(out[1]);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(out[1]);
  char buf[256];
  ssize_t n;
  while ((n = read(out[0], buf, sizeof buf)) > 0) r.output.append(buf, static_cast<size_t>(n));
  close(out[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFEXITED(status)) r.status = WEXITSTATUS(status);
  return r;
}

bool UnderCi() {
  const char* ci = std::getenv("CI");
  return ci != nullptr && std::strcmp(ci, "true") == 0;
}

#define SKIP_WITHOUT_SANDBOX()                                              \
  do {                                                                      \
    std::string why;                                                        \
    if (!SandboxAvailable(SandboxOptions{}, &why)) {                        \
      if (UnderCi()) FAIL() << why;                                         \
      GTEST_SKIP() << why;                                                  \
    }                                                                       \
  } while (0)

bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

TEST(SandboxFromHost, HostIsReadOnlyEvenForRoot) {
  SKIP_WITHOUT_SANDBOX();
  TempDir hostDir;  // a host folder the sandbox was not told about
  const std::string name = "kestrel-probe-" + std::to_string(getpid());
  char self[4096];
  ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  ASSERT_GT(n, 0);
  self[n] = '\0';
  const std::string buildDir = std::string(self).substr(0, std::string(self).rfind('/'));
  const std::vector<std::string> created = {"/etc/" + name, "/" + name, hostDir.File(name),
                                            buildDir + "/" + name};
  // Appending nothing opens for writing without changing a byte.
  const std::vector<std::string> existing = {"/etc/passwd", self};
  std::string script;
  for (const auto& p : created) script += "if (: > '" + p + "') 2>/dev/null; then echo 'created " + p + "'; fi\n";
  for (const auto& p : existing) script += "if (: >> '" + p + "') 2>/dev/null; then echo 'opened " + p + "'; fi\n";
  script += "echo done\n";
  // The host folder is given to the command, so the sandbox shows it (read-only).
  Result r = RunInSandbox({}, script + "test -d '" + hostDir.Path() + "' || echo 'hidden'\n", {hostDir.Path()});
  EXPECT_EQ(0, r.status);
  EXPECT_EQ("done\n", r.output) << "running as uid " << getuid();
  for (const auto& p : created) {
    EXPECT_FALSE(Exists(p)) << p;
    unlink(p.c_str());
  }
}

TEST(SandboxFromHost, CardIsReadOnlyUnlessAskedAndBindsAreWritable) {
  SKIP_WITHOUT_SANDBOX();
  TempDir card, out;
  card.Write("a.txt", "card\n");
  const std::string script =
      "cat /mnt/sdcard/a.txt; (echo x > /mnt/sdcard/new) 2>/dev/null && echo 'wrote card';"
      "(echo y >> /mnt/sdcard/a.txt) 2>/dev/null && echo 'appended card';"
      "(echo z > /mnt/out/result) 2>/dev/null && echo 'wrote out'; echo t > /tmp/scratch && echo 'wrote tmp'";
  struct Case {
    bool writable;
    const char* output;
    const char* hostCard;
  } cases[] = {
      {false, "card\nwrote out\nwrote tmp\n", "card\n"},
      {true, "card\nwrote card\nappended card\nwrote out\nwrote tmp\n", "card\ny\n"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> options{"--card", card.Path(), "--bind", out.Path(), "/mnt/out"};
    if (c.writable) options.push_back("--card-rw");
    Result r = RunInSandbox(options, script);
    EXPECT_EQ(c.output, r.output) << c.writable;
    EXPECT_EQ(c.hostCard, ReadWholeFile(card.File("a.txt"))) << c.writable;
    EXPECT_EQ(c.writable, Exists(card.File("new"))) << c.writable;
    EXPECT_EQ("z\n", ReadWholeFile(out.File("result")));
    unlink(out.File("result").c_str());
  }
}

TEST(SandboxFromHost, ProbeTriesWhatIsUsedAndSaysWhy) {
  SKIP_WITHOUT_SANDBOX();
  SandboxOptions o;
  o.cardDir = "/nonexistent-kestrel-card";
  std::string why;
  EXPECT_FALSE(SandboxAvailable(o, &why));
  EXPECT_NE(std::string::npos, why.find("/nonexistent-kestrel-card")) << why;
  o = SandboxOptions{};
  o.procCorvina = true;
  EXPECT_TRUE(SandboxAvailable(o, &why)) << why;
}

}  // namespace
