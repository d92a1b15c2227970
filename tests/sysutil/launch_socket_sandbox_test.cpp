// The launcher client against a launcher served by the test.
#include "sysutil/launch_socket.h"

#include <unistd.h>

#include <string>
#include <vector>

#include "tests/support/fake_clock.h"
#include "tests/support/fake_launcher.h"
#include "tests/support/sandbox_guard.h"

namespace {

FakeReply Say(std::vector<std::string> parts) { return FakeReply{std::move(parts), false}; }

TEST(LaunchSocket, NoLauncherFailsAtOnce) {
  KESTREL_REQUIRE_SANDBOX();
  EXPECT_EQ(-1, SendLaunch("app"));
  const char* args[] = {"app", nullptr};
  EXPECT_EQ(-1, SendLaunchArgs(args));
  EXPECT_EQ(-1, SendKill(5));
  int32_t ended = 77;
  int32_t status = 88;
  SendWait4(5, ended, status);
  EXPECT_EQ(0, ended);
  EXPECT_EQ(88, status);
}

TEST(LaunchSocket, RequestLines) {
  KESTREL_REQUIRE_SANDBOX();
  FakeLauncher launcher([](const std::string&) { return Say({Line("PID 1")}); });
  ASSERT_TRUE(launcher.Ready());
  const char* one[] = {"nav", nullptr};
  const char* three[] = {"a", "b c", "d", nullptr};
  const char* none[] = {nullptr};
  SendLaunch("/bin/app -x");
  SendLaunchArgs(one);
  SendLaunchArgs(three);
  SendLaunchArgs(none);
  int32_t ended, status;
  SendWait4(42, ended, status);
  SendKill(-3);
  std::vector<std::string> want = {"LAUNCH /bin/app -x", "LAUNCH nav", "LAUNCH a b c d", "LAUNCH ",
                                   "WAIT4 42", "KILL -3"};
  EXPECT_EQ(want, launcher.Requests());
}

TEST(LaunchSocket, LaunchReplies) {
  KESTREL_REQUIRE_SANDBOX();
  struct Case {
    const char* what;
    std::vector<std::string> parts;
    int32_t pid;
  } cases[] = {
      {"plain", {Line("PID 4242")}, 4242},
      {"split over two reads", {"PID 42", Line("42")}, 4242},
      {"split inside the keyword", {"PI", Line("D 9")}, 9},
      {"no NUL, then closed", {"PID 17"}, 17},
      {"garbled", {Line("OK 12")}, -1},
      {"keyword only", {Line("PID")}, -1},
      {"number out of range", {Line("PID 99999999999")}, -1},
      {"closed without a word", {}, -1},
      {"far longer than the buffer, no NUL", {"PID 31 " + std::string(5000, 'x')}, 31},
      {"long garbage", {std::string(5000, 'z')}, -1},
  };
  for (const Case& c : cases) {
    FakeLauncher launcher([&](const std::string&) { return Say(c.parts); });
    ASSERT_TRUE(launcher.Ready());
    EXPECT_EQ(c.pid, SendLaunch("app")) << c.what;
  }
}

TEST(LaunchSocket, Wait4AndKillReplies) {
  KESTREL_REQUIRE_SANDBOX();
  struct Case {
    std::string reply;
    int32_t ended;
    int32_t status;  // 99: left as it was
    int32_t kill;
  } cases[] = {
      {Line("123 9"), 123, 9, 123},
      {Line("  0\t0"), 0, 0, 0},
      {Line("123"), 0, 99, 123},
      {Line("abc"), 0, 99, -1},
      {Line("-1 2"), -1, 2, -1},
  };
  for (const Case& c : cases) {
    FakeLauncher launcher([&](const std::string&) { return Say({c.reply}); });
    ASSERT_TRUE(launcher.Ready());
    int32_t ended = 55;
    int32_t status = 99;
    SendWait4(123, ended, status);
    EXPECT_EQ(c.ended, ended) << c.reply;
    EXPECT_EQ(c.status, status) << c.reply;
    EXPECT_EQ(c.kill, SendKill(123)) << c.reply;
  }
}

TEST(LaunchSocket, ArgsLineMustFitItsBuffer) {
  KESTREL_REQUIRE_SANDBOX();
  FakeLauncher launcher([](const std::string&) { return Say({Line("PID 3")}); });
  ASSERT_TRUE(launcher.Ready());
  // "LAUNCH " (7) + 1016 characters + NUL fill the 1,024 bytes exactly.
  std::string fits(1016, 'a');
  std::string over(1017, 'a');
  const char* ok[] = {fits.c_str(), nullptr};
  const char* tooLong[] = {over.c_str(), nullptr};
  std::string half(600, 'b');
  const char* joinedTooLong[] = {half.c_str(), half.c_str(), nullptr};
  EXPECT_EQ(3, SendLaunchArgs(ok));
  EXPECT_EQ(-1, SendLaunchArgs(tooLong));
  EXPECT_EQ(-1, SendLaunchArgs(joinedTooLong));
  ASSERT_EQ(1u, launcher.Requests().size()) << "an overlong line is never sent";
  EXPECT_EQ("LAUNCH " + fits, launcher.Requests()[0]);
}

TEST(LaunchSocket, LauncherThatNeverAnswersBlocksUntilItCloses) {
  KESTREL_REQUIRE_SANDBOX();
  FakeLauncher launcher([](const std::string&) { return FakeReply{{}, true}; });
  ASSERT_TRUE(launcher.Ready());
  // The request waits for as long as the launcher keeps silent: ten seconds
  // of its poll pauses here, on the fake clock; then the launcher closes.
  CFakeClock clock;
  clock.onSleep = [&] {
    if (clock.SleptMicroseconds() == 10000000) launcher.CloseHeld();
  };
  EXPECT_EQ(-1, SendLaunch("app"));
  EXPECT_GE(clock.SleptMicroseconds(), 10000000);
  EXPECT_EQ(std::vector<std::string>{"LAUNCH app"}, launcher.Requests());
}

}  // namespace
