// The UI process registry in the sandbox's fresh /var/run: master and slave
// opening, fatal opening failures, and the master's table against a launcher
// served by the test.
#include "device/process_registry.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <mutex>
#include <set>
#include <string>

#include "device/device_seams.h"
#include "tests/support/fake_launcher.h"
#include "tests/support/sandbox_guard.h"

namespace {

constexpr const char* kFile = "/var/run/uipidshm";

std::string FileBytes() {
  std::ifstream in(kFile, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WritePid(int32_t pid) {
  std::ofstream out(kFile, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(&pid), sizeof pid);
}

class RegistryTest : public ::testing::Test {
 protected:
  // The real registry file, not the tests' in-memory stand-in.
  void SetUp() override {
    ResetDeviceForTesting();
    unlink(kFile);
  }
  void TearDown() override {
    ResetDeviceForTesting();
    unlink(kFile);
    rmdir(kFile);
  }
};

// Runs fn in a child whose standard output is collected; its exit status.
int InChild(void (*fn)(), std::string& output) {
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return -1;
  fflush(stdout);
  pid_t child = fork();
  if (child == 0) {
    dup2(pipeFds[1], 1);
    close(pipeFds[0]);
    alarm(20);
    fn();
    fflush(stdout);
    _exit(0);
  }
  close(pipeFds[1]);
  char buf[256];
  ssize_t n;
  while ((n = read(pipeFds[0], buf, sizeof buf)) > 0) output.append(buf, static_cast<size_t>(n));
  close(pipeFds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(RegistryTest, FirstOpenerIsMasterAndNextIsSlave) {
  KESTREL_REQUIRE_SANDBOX();
  testing::internal::CaptureStdout();
  EXPECT_EQ(0, GetActivePid());
  EXPECT_EQ("Opening in MASTER mode\n", testing::internal::GetCapturedStdout());
  EXPECT_EQ(std::string(4, '\0'), FileBytes());
  CloseRegistry();

  WritePid(1234);
  testing::internal::CaptureStdout();
  EXPECT_EQ(1234, GetActivePid());
  EXPECT_EQ("Opening in SLAVE mode\n", testing::internal::GetCapturedStdout());
  EXPECT_EQ(0, LaunchProcess("app")) << "a slave has no table";

  // The shared integer is the file: the master's stores are seen at once.
  WritePid(static_cast<int32_t>(getpid()));
  EXPECT_TRUE(IsActiveProcess(true));
  SetActivePid(99);
  int32_t stored = 0;
  std::memcpy(&stored, FileBytes().data(), 4);
  EXPECT_EQ(99, stored);
  EXPECT_FALSE(IsActiveProcess(true));
  EXPECT_TRUE(IsActiveProcess(false));
}

TEST_F(RegistryTest, FileThatCannotBeMadeOrOpenedEndsTheProcess) {
  KESTREL_REQUIRE_SANDBOX();
  // A folder in the file's place: found (slave), but not openable for writing.
  ASSERT_EQ(0, mkdir(kFile, 0755));
  std::string out;
  EXPECT_EQ(1, InChild([] { GetActivePid(); }, out));
  EXPECT_EQ("Opening in SLAVE mode\nError: cannot open uipid file.\n", out);
  out.clear();
  EXPECT_EQ(1, InChild([] { OpenRegistry(true); }, out));
  EXPECT_EQ("Opening in MASTER mode\nError: cannot open uipid file.\n", out);
}

TEST_F(RegistryTest, ShortFileLeavesNoProcessActive) {
  KESTREL_REQUIRE_SANDBOX();
  int fd = open(kFile, O_CREAT | O_WRONLY, 0666);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(2, write(fd, "\1\2", 2));
  close(fd);
  testing::internal::CaptureStdout();
  EXPECT_EQ(0, GetActivePid());
  testing::internal::GetCapturedStdout();
  EXPECT_FALSE(IsActiveProcess(true));
  SetActivePid(5);
  EXPECT_EQ(std::string("\1\2"), FileBytes());
}

TEST_F(RegistryTest, FifoInPlaceOfTheFileDoesNotBlock) {
  KESTREL_REQUIRE_SANDBOX();
  ASSERT_EQ(0, mkfifo(kFile, 0666));
  std::string out;
  EXPECT_EQ(0, InChild([] {
              alarm(5);
              if (GetActivePid() != 0) _exit(2);
            }, out));
  EXPECT_EQ("Opening in SLAVE mode\n", out);
  out.clear();
  EXPECT_EQ(1, InChild([] {
              alarm(5);
              OpenRegistry(true);
            }, out));
  EXPECT_EQ("Opening in MASTER mode\nError: cannot open uipid file.\n", out);
}

// A launcher that starts processes 100, 101, ... and reports as ended the
// ids put in `ended`.
struct Launcher {
  std::mutex lock;
  std::set<int32_t> ended;
  int32_t next = 100;
  int launches = 0;
  FakeLauncher service{[this](const std::string& request) {
    std::lock_guard<std::mutex> hold(lock);
    int32_t pid = 0;
    if (request.rfind("LAUNCH ", 0) == 0) {
      ++launches;
      return FakeReply{{Line("PID " + std::to_string(next++))}, false};
    }
    if (std::sscanf(request.c_str(), "WAIT4 %d", &pid) == 1 && ended.count(pid))
      return FakeReply{{Line(std::to_string(pid) + " 0")}, false};
    return FakeReply{{Line("0 0")}, false};
  }};
  int Launches() {
    std::lock_guard<std::mutex> hold(lock);
    return launches;
  }
  void End(int32_t pid) {
    std::lock_guard<std::mutex> hold(lock);
    ended.insert(pid);
  }
};

TEST_F(RegistryTest, MasterLaunchesOncePerCommandLineAndReapsEndedOnes) {
  KESTREL_REQUIRE_SANDBOX();
  Launcher launcher;
  ASSERT_TRUE(launcher.service.Ready());
  testing::internal::CaptureStdout();
  OpenRegistry(true);
  EXPECT_EQ(100, LaunchProcess("app 0"));
  EXPECT_EQ(100, LaunchProcess("app 0"));
  EXPECT_EQ(1, launcher.Launches()) << "a known command line is not launched again";
  for (int i = 1; i < 10; ++i) EXPECT_EQ(100 + i, LaunchProcess(("app " + std::to_string(i)).c_str()));
  EXPECT_EQ(0, LaunchProcess("app 10"));
  EXPECT_EQ(10, launcher.Launches());
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(std::string::npos, out.find("child_pid is 100\n"));
  EXPECT_NE(std::string::npos, out.find("child_pid is 109\n"));
  EXPECT_EQ(out.size() - 36, out.find("Maximum (10) processes are running!\n"));

  // The active process ends: it is reaped, and no process is active.
  SetActivePid(103);
  launcher.End(103);
  testing::internal::CaptureStdout();
  ReapZombies();
  EXPECT_EQ("Found zombie process [app 3] with id 103\n", testing::internal::GetCapturedStdout());
  EXPECT_EQ(0, GetActivePid());
  testing::internal::CaptureStdout();
  EXPECT_EQ(110, LaunchProcess("app 10")) << "the freed slot takes the new line";
  testing::internal::GetCapturedStdout();
}

TEST_F(RegistryTest, OverlongCommandLineIsRefused) {
  KESTREL_REQUIRE_SANDBOX();
  Launcher launcher;
  ASSERT_TRUE(launcher.service.Ready());
  testing::internal::CaptureStdout();
  OpenRegistry(true);
  std::string longest(kRegistryNameLength, 'a');
  EXPECT_EQ(100, LaunchProcess(longest.c_str()));
  EXPECT_EQ(100, LaunchProcess(longest.c_str()));
  // Cut to 127 characters it would be taken for the line above.
  EXPECT_EQ(-1, LaunchProcess((longest + "b").c_str()));
  // Refusing still reaps first, as every launch does.
  launcher.End(100);
  EXPECT_EQ(-1, LaunchProcess((longest + "b").c_str()));
  EXPECT_EQ(1, launcher.Launches());
  EXPECT_EQ("Opening in MASTER mode\nchild_pid is 100\nLaunching additional process failed!\n"
            "Found zombie process [" + longest + "] with id 100\nLaunching additional process failed!\n",
            testing::internal::GetCapturedStdout());
}

TEST_F(RegistryTest, LauncherUnreachable) {
  KESTREL_REQUIRE_SANDBOX();
  testing::internal::CaptureStdout();
  OpenRegistry(true);
  EXPECT_EQ(-1, LaunchProcess("app"));
  EXPECT_EQ("Opening in MASTER mode\nchild_pid is -1\nLaunching additional process failed!\n",
            testing::internal::GetCapturedStdout());
}

TEST_F(RegistryTest, SeamHoldsTheActivePidInMemory) {
  KESTREL_REQUIRE_SANDBOX();
  WritePid(1234);  // a shared file the seam must neither open nor change
  testing::internal::CaptureStdout();
  SetActivePidForTesting(static_cast<int32_t>(getpid()));
  EXPECT_TRUE(IsActiveProcess(true));
  SetActivePid(7);
  EXPECT_EQ(7, GetActivePid());
  EXPECT_FALSE(IsActiveProcess(true));
  EXPECT_EQ(0, LaunchProcess("app")) << "held as a slave: no table";
  EXPECT_EQ("", testing::internal::GetCapturedStdout()) << "the registry file was not opened";
  int32_t stored = 0;
  std::memcpy(&stored, FileBytes().data(), 4);
  EXPECT_EQ(1234, stored);
}

}  // namespace
