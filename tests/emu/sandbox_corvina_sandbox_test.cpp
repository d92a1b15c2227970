// The sandbox with /proc/corvina: a tmpfs of links into the sandbox's own
// procfs, complete for every process id that can occur there.
#include <dirent.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "tests/support/sandbox_guard.h"

namespace {

TEST(CorvinaSandbox, CorvinaIsWritableBesideTheRealProcfs) {
  KESTREL_REQUIRE_SANDBOX();
  {
    std::ofstream out("/proc/corvina/probe");
    EXPECT_TRUE(out.good());
  }
  EXPECT_EQ(0, unlink("/proc/corvina/probe"));
  std::ifstream status("/proc/self/status");
  std::string line;
  EXPECT_TRUE(std::getline(status, line).good());
  EXPECT_EQ(0, access(("/proc/" + std::to_string(getpid()) + "/task").c_str(), R_OK));
  EXPECT_LT(getpid(), 100) << "the sandbox has its own pid namespace";
}

// Each child looks for its own /proc entry and ends through exit(), which in
// a sanitizer build runs the leak check that reads /proc/<pid>/task.
TEST(CorvinaSandbox, TwoThousandChildrenInTurnPassTheLeakCheck) {
  KESTREL_REQUIRE_SANDBOX();
  pid_t highest = 0;
  std::fflush(nullptr);
  for (int i = 0; i < 2000; ++i) {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      std::string task = "/proc/" + std::to_string(getpid()) + "/task";
      DIR* d = opendir(task.c_str());
      if (d == nullptr) _exit(3);
      closedir(d);
      std::exit(0);
    }
    int status = 0;
    ASSERT_EQ(child, waitpid(child, &status, 0));
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "child " << i << " with pid " << child << " ended with status " << status;
    if (child > highest) highest = child;
  }
  EXPECT_GT(highest, 2000) << "ids count up in a fresh namespace";
}

}  // namespace
