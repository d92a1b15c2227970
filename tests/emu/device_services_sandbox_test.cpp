// The emulated launcher and navigation server answer the program's own
// clients, in the device's /var/run. The clients wait by sleeping; each sleep
// lets the services serve, so nothing waits for real.
#include "emu/device_services.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <memory>

#include "navlink/file_layer.h"
#include "sysutil/launch_socket.h"
#include "tests/support/fake_clock.h"
#include "tests/support/sandbox_guard.h"

namespace {

class DeviceServices : public ::testing::Test {
 protected:
  void SetUp() override {
    KESTREL_REQUIRE_SANDBOX();
    clock.onSleep = [this] {
      launcher.Serve();
      navigation.Serve();
    };
  }
  std::vector<std::string> reports;
  CLauncherService launcher{[this](const std::string& l) { reports.push_back(l); }};
  CNavigationServer navigation{"/var/run", [this](const std::string& l) { reports.push_back(l); }};
  CFakeClock clock;
};

TEST_F(DeviceServices, TheLauncherAnswersEachRequest) {
  ASSERT_TRUE(launcher.Listen("/var/run/launchsock"));
  EXPECT_EQ(-1, SendLaunch("/mnt/sdcard/other-ui"));
  int32_t ended = 7, status = 0;
  SendWait4(42, ended, status);
  EXPECT_EQ(0, ended);
  EXPECT_EQ(-1, SendKill(42));
  ASSERT_EQ(3u, reports.size());
  EXPECT_EQ("launcher: \"LAUNCH /mnt/sdcard/other-ui\" answered \"PID -1\"", reports[0]);
  EXPECT_EQ("launcher: \"WAIT4 42\" answered \"0 0\"", reports[1]);
  EXPECT_EQ("launcher: \"KILL 42\" answered \"-1\"", reports[2]);
  EXPECT_EQ("ERROR", CLauncherService::Answer("REBOOT"));
}

TEST_F(DeviceServices, TheNavigationServerRepliesUnderTheRequestsNumber) {
  std::unique_ptr<MZelkonCommunicationLayerInterface> layer(
      CreateFileLayer("client", "ZelkonNavigationServer", 812, 0));
  ASSERT_NE(nullptr, layer);
  for (int request = 1; request <= 2; ++request) {
    layer->BeginRequest();
    layer->AddArgument("route");
    layer->AddArgument("home");
    MZelkonSession* session = layer->Send();
    ASSERT_NE(nullptr, session);
    layer->Receive(session);
    ASSERT_EQ(1, layer->Arguments()->Count());
    EXPECT_STREQ("OK", layer->Arguments()->Get(0));
  }
  ASSERT_EQ(2u, reports.size());
  EXPECT_EQ("navigation server: request 812.2 from client: \"route|home|\" answered \"OK|\"", reports[1]);
  // Both sides' files are gone.
  EXPECT_EQ(nullptr, std::fopen("/var/run/client.ZelkonNavigationServer.812.2.message", "r"));
  EXPECT_EQ(nullptr, std::fopen("/var/run/ZelkonNavigationServer.client.812.2.finished", "r"));
}

TEST_F(DeviceServices, FilesInTheRunFolderAreNeverFollowedOrWaitedOn) {
  // The program may put links and FIFOs where the server reads and writes.
  FILE* secret = std::fopen("/tmp/secret", "w");
  ASSERT_NE(nullptr, secret);
  std::fputs("keep", secret);
  std::fclose(secret);
  ASSERT_EQ(0, symlink("/tmp/secret", "/var/run/client.ZelkonNavigationServer.9.1.message"));
  ASSERT_EQ(0, symlink("/tmp/secret", "/var/run/ZelkonNavigationServer.client.9.1.message"));
  ASSERT_EQ(0, mkfifo("/var/run/client.ZelkonNavigationServer.9.2.message", 0600));
  for (const char* marker : {"/var/run/client.ZelkonNavigationServer.9.1.finished",
                             "/var/run/client.ZelkonNavigationServer.9.2.finished"}) {
    FILE* f = std::fopen(marker, "w");
    ASSERT_NE(nullptr, f);
    std::fclose(f);
  }
  navigation.Serve();
  ASSERT_EQ(2u, reports.size());
  EXPECT_EQ("navigation server: request 9.1 from client: \"\" answered \"OK|\"", reports[0]);
  EXPECT_EQ("navigation server: request 9.2 from client: \"\" answered \"OK|\"", reports[1]);
  char kept[8] = {};
  FILE* f = std::fopen("/tmp/secret", "r");
  ASSERT_NE(nullptr, f);
  EXPECT_EQ(4u, std::fread(kept, 1, sizeof kept, f));
  std::fclose(f);
  EXPECT_STREQ("keep", kept);
  struct stat st;
  ASSERT_EQ(0, lstat("/var/run/ZelkonNavigationServer.client.9.1.message", &st));
  EXPECT_TRUE(S_ISREG(st.st_mode));
  std::remove("/tmp/secret");
  for (const char* left : {"/var/run/ZelkonNavigationServer.client.9.1.message",
                           "/var/run/ZelkonNavigationServer.client.9.1.finished",
                           "/var/run/ZelkonNavigationServer.client.9.2.message",
                           "/var/run/ZelkonNavigationServer.client.9.2.finished"})
    std::remove(left);
}

}  // namespace
