#include "navlink/file_layer.h"

#include <dirent.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "tests/support/fake_clock.h"
#include "tests/support/sandbox_guard.h"
#include "tests/support/temp_dir.h"

namespace {

const std::string kRun = "/var/run/";

std::set<std::string> RunFiles() {
  std::set<std::string> names;
  if (DIR* d = opendir(kRun.c_str())) {
    while (dirent* e = readdir(d)) {
      const std::string n = e->d_name;
      if (n != "." && n != "..") names.insert(n);
    }
    closedir(d);
  }
  return names;
}

void ClearRunDirectory() {
  for (const std::string& n : RunFiles()) {
    chmod((kRun + n).c_str(), 0700);
    if (unlink((kRun + n).c_str()) != 0) rmdir((kRun + n).c_str());
  }
}

void WriteRunFile(const std::string& name, const std::string& content) {
  std::ofstream out(kRun + name, std::ios::binary);
  out << content;
}

std::vector<std::string> Fields(MZelkonCommunicationLayerInterface* layer) {
  std::vector<std::string> out;
  MArguments* args = layer->Arguments();
  for (int32_t i = 0; i < args->Count(); ++i) out.emplace_back(args->Get(i));
  return out;
}

struct LayerDeleter {
  void operator()(MZelkonCommunicationLayerInterface* l) const { delete l; }
};
using LayerPtr = std::unique_ptr<MZelkonCommunicationLayerInterface, LayerDeleter>;

LayerPtr Create(const char* own, const char* peer, int32_t pid) {
  return LayerPtr(CreateFileLayer(own, peer, pid, 0));
}

// Every test starts with an empty run-time directory and a watchdog: a layer
// that waits for ever must fail the test, not hang it.
class FileLayer : public ::testing::Test {
 protected:
  void SetUp() override {
    KESTREL_REQUIRE_SANDBOX();
    ClearRunDirectory();
    alarm(30);
  }
  void TearDown() override { alarm(0); }
};

TEST_F(FileLayer, SendWritesMessageThenMarkerWithRisingIds) {
  LayerPtr layer = Create("client", "ZelkonNavigationServer", 812);
  ASSERT_TRUE(layer);
  layer->BeginRequest();
  layer->AddArgument("a");
  layer->AddArgument("b");
  MZelkonSession* first = layer->Send();
  ASSERT_NE(nullptr, first);
  EXPECT_EQ(1u, static_cast<CZelkonFileLayer::CSession*>(first)->Id());
  EXPECT_EQ(std::string("a|b|\0", 5),
            ReadWholeFile(kRun + "client.ZelkonNavigationServer.812.1.message"));
  EXPECT_EQ(std::string("finish\n\0", 8),
            ReadWholeFile(kRun + "client.ZelkonNavigationServer.812.1.finished"));

  layer->BeginRequest();
  MZelkonSession* second = layer->Send();
  ASSERT_NE(nullptr, second);
  EXPECT_EQ(std::string("\0", 1),
            ReadWholeFile(kRun + "client.ZelkonNavigationServer.812.2.message"));
  delete first;
  delete second;
}

TEST_F(FileLayer, SendFailsWhenAFileCannotBeWritten) {
  LayerPtr layer = Create("c", "s", 1);
  // The message cannot be created: no session, and the id is used up anyway.
  ASSERT_EQ(0, mkdir((kRun + "c.s.1.1.message").c_str(), 0700));
  EXPECT_EQ(nullptr, layer->Send());
  // The marker cannot be created: the message written before it stays.
  ASSERT_EQ(0, mkdir((kRun + "c.s.1.2.finished").c_str(), 0700));
  EXPECT_EQ(nullptr, layer->Send());
  EXPECT_EQ(std::string("\0", 1), ReadWholeFile(kRun + "c.s.1.2.message"));
  MZelkonSession* third = layer->Send();
  ASSERT_NE(nullptr, third);
  EXPECT_EQ(3u, static_cast<CZelkonFileLayer::CSession*>(third)->Id());
  delete third;
  ClearRunDirectory();

  // A message cut short by a full medium is withdrawn, never announced.
  const pid_t child = fork();
  ASSERT_NE(-1, child);
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{100, 100};
    setrlimit(RLIMIT_FSIZE, &limit);
    LayerPtr small = Create("c", "s", 2);
    small->AddArgument(std::string(500, 'w').c_str());
    _exit(small->Send() == nullptr ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(child, waitpid(child, &status, 0));
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_TRUE(RunFiles().empty());
}

TEST_F(FileLayer, ProcessIdMinusOneIsTheCallersAndNamesAreCut) {
  // -1: the files carry the calling process's id.
  LayerPtr layer = Create("c", "s", -1);
  ASSERT_TRUE(layer);
  MZelkonSession* session = layer->Send();
  ASSERT_NE(nullptr, session);
  const std::string stem = "c.s." + std::to_string(getpid()) + ".1.";
  EXPECT_EQ((std::set<std::string>{stem + "finished", stem + "message"}), RunFiles());
  delete session;

  const std::string longName(300, 'n');
  LayerPtr cut = Create(longName.c_str(), longName.c_str(), 5);
  ASSERT_TRUE(cut);
  auto* file = static_cast<CZelkonFileLayer*>(cut.get());
  EXPECT_EQ(std::string(255, 'n'), file->OwnName());
  EXPECT_EQ(std::string(255, 'n'), file->PeerName());
  // Link paths past the path buffer would lose their suffixes, and the marker
  // would overwrite the message: such a send fails and writes nothing. The
  // longest that fits is "/var/run/" + name + "..5.1.finished", 255 characters.
  std::set<std::string> want = RunFiles();
  EXPECT_EQ(nullptr, cut->Send());
  EXPECT_EQ(want, RunFiles());
  for (size_t n : {size_t{232}, size_t{233}}) {
    const std::string name(n, 'f');
    LayerPtr edge = Create(name.c_str(), "", 5);
    MZelkonSession* sent = edge->Send();
    EXPECT_EQ(n == 232, sent != nullptr) << n;
    if (n == 232) want.insert({name + "..5.1.finished", name + "..5.1.message"});
    EXPECT_EQ(want, RunFiles()) << n;
    delete sent;
  }
}

TEST_F(FileLayer, ReplyUsesTheSessionIdAndReturnsNull) {
  LayerPtr layer = Create("ZelkonNavigationServer", "client", 812);
  CZelkonFileLayer::CSession session(7);
  layer->BeginReply(&session);
  layer->AddArgument("ok");
  EXPECT_EQ(nullptr, layer->Send());
  EXPECT_EQ(std::string("ok|\0", 4),
            ReadWholeFile(kRun + "ZelkonNavigationServer.client.812.7.message"));
  EXPECT_EQ(std::string("finish\n\0", 8),
            ReadWholeFile(kRun + "ZelkonNavigationServer.client.812.7.finished"));
  // Back to requests: the ids go on from the reply's.
  layer->BeginRequest();
  MZelkonSession* next = layer->Send();
  ASSERT_NE(nullptr, next);
  EXPECT_EQ(8u, static_cast<CZelkonFileLayer::CSession*>(next)->Id());
  delete next;
}

TEST_F(FileLayer, IsReplyReadyLooksForThePeersMarker) {
  LayerPtr layer = Create("client", "server", 5);
  CZelkonFileLayer::CSession session(3);
  EXPECT_EQ(0, layer->IsReplyReady(&session));
  EXPECT_EQ(0, layer->IsReplyReady(nullptr));
  WriteRunFile("client.server.5.3.finished", "finish\n");  // our own: not the reply
  EXPECT_EQ(0, layer->IsReplyReady(&session));
  WriteRunFile("server.client.5.3.finished", std::string("finish\n\0", 8));
  EXPECT_EQ(1, layer->IsReplyReady(&session));
}

TEST_F(FileLayer, ReceiveReadsOneLineOfTheReply) {
  struct Case {
    std::string content;
    std::vector<std::string> fields;
  };
  const std::string x1021(1021, 'x'), x1022(1022, 'x'), x4000(4000, 'x');
  const Case cases[] = {
      {std::string("x|y|\0", 5), {"x", "y"}},
      {"a|b\nc|d|", {"a"}},  // one line: cut at the newline
      {std::string("a|\0b|", 5), {"a"}},
      {"", {}},
      {"no separator", {}},
      // 1022 bytes fit the fixed buffer; 1023 and more reserve size + 1.
      {x1021 + "|", {x1021}},
      {x1022 + "|", {x1022}},
      {x1022 + "|z|", {x1022, "z"}},
      {x4000 + "|" + x4000 + "|", {x4000, x4000}},
  };
  LayerPtr layer = Create("client", "server", 9);
  for (const Case& c : cases) {
    layer->BeginRequest();
    layer->AddArgument("stale");
    WriteRunFile("server.client.9.4.message", c.content);
    WriteRunFile("server.client.9.4.finished", std::string("finish\n\0", 8));
    layer->Receive(new CZelkonFileLayer::CSession(4));
    EXPECT_EQ(c.fields, Fields(layer.get())) << c.content.size() << " bytes";
    EXPECT_TRUE(RunFiles().empty());
  }
}

TEST_F(FileLayer, ReceiveWaitsForTheReplyThroughTheClock) {
  LayerPtr layer = Create("client", "server", 9);
  CFakeClock clock;
  clock.onSleep = [&] {
    if (clock.Sleeps() != 3) return;
    WriteRunFile("server.client.9.5.message", "late|");
    WriteRunFile("server.client.9.5.finished", "finish\n");
  };
  layer->Receive(new CZelkonFileLayer::CSession(5));
  EXPECT_EQ(std::vector<std::string>{"late"}, Fields(layer.get()));
  EXPECT_EQ(3 * int64_t{CZelkonFileLayer::kPollMicroseconds}, clock.SleptMicroseconds());
}

TEST_F(FileLayer, ReceiveOfOversizedOrMissingMessage) {
  LayerPtr layer = Create("client", "server", 9);
  // Over the cap: not read, the list comes out empty, both files deleted.
  layer->AddArgument("stale");
  std::string big(CZelkonFileLayer::kMaxMessageSize + 1, 'b');
  big[10] = '|';
  WriteRunFile("server.client.9.1.message", big);
  WriteRunFile("server.client.9.1.finished", "finish\n");
  layer->Receive(new CZelkonFileLayer::CSession(1));
  EXPECT_EQ(0, layer->Arguments()->Count());
  EXPECT_STREQ("", layer->Arguments()->Line());
  EXPECT_TRUE(RunFiles().empty());

  // Exactly at the cap: read.
  big.resize(CZelkonFileLayer::kMaxMessageSize);
  big.back() = '|';
  WriteRunFile("server.client.9.2.message", big);
  WriteRunFile("server.client.9.2.finished", "finish\n");
  layer->Receive(new CZelkonFileLayer::CSession(2));
  EXPECT_EQ(2, layer->Arguments()->Count());

  // A marker without its message: the list stays as it was.
  layer->BeginRequest();
  layer->AddArgument("kept");
  layer->Arguments()->Parse();
  WriteRunFile("server.client.9.3.finished", "finish\n");
  layer->Receive(new CZelkonFileLayer::CSession(3));
  EXPECT_EQ(std::vector<std::string>{"kept"}, Fields(layer.get()));
  EXPECT_TRUE(RunFiles().empty());

  layer->Receive(nullptr);
  EXPECT_EQ(0, layer->Arguments()->Count());
  EXPECT_STREQ("", layer->Arguments()->Line());
}

// Answers every request with "re" and its fields, and records what it saw.
class EchoHandler : public MRequestHandler {
 public:
  void HandleRequest(MZelkonCommunicationLayerInterface* layer, MZelkonSession* session) override {
    auto* file = static_cast<CZelkonFileLayer*>(layer);
    seen.push_back(std::string(file->PeerName()) + ":" + std::to_string(file->ProcessId()) + ":" +
                   std::to_string(static_cast<CZelkonFileLayer::CSession*>(session)->Id()));
    const std::vector<std::string> fields = Fields(layer);
    layer->BeginReply(session);
    layer->AddArgument("re");
    for (const std::string& f : fields) layer->AddArgument(f.c_str());
    EXPECT_EQ(nullptr, layer->Send());
  }
  std::vector<std::string> seen;
};

TEST_F(FileLayer, DispatchTakesOnlyCanonicalMarkersForItsName) {
  struct Case {
    std::string marker;
    bool handled;
  };
  const Case cases[] = {
      {"client.Server.12.3.finished", true},
      {"client.SERVER.12.4.finished", true},  // addressee ignores case
      {"client.server.0.0.finished", true},
      {"client.other.12.3.finished", false},      // another addressee
      {"client.server.12.3.message", false},      // not a marker
      {"client.server.12.finished", false},       // three dots
      {"clientserver12.3.finished", false},
      {"client.server.12.3.Finished", false},     // suffix is case-sensitive
      {"client.server.+7.3.finished", false},     // numbers must read back the same
      {"client.server.007.3.finished", false},
      {"client.server.12.99999999999.finished", false},
      {"client.server.12abc.3.finished", false},
      {"client.server..3.finished", false},
      {"client.server.-1.3.finished", false},
      {"client.server.12.3.x.finished", false},   // what follows the fourth dot is not "finished"
  };
  for (const Case& c : cases) {
    WriteRunFile(c.marker, std::string("finish\n\0", 8));
    // The request's message, when the marker names one.
    const size_t end = c.marker.rfind(".finished");
    if (end != std::string::npos) WriteRunFile(c.marker.substr(0, end) + ".message", "q|");
    EchoHandler handler;
    const int32_t handled = DispatchIncoming("server", &handler);
    EXPECT_EQ(c.handled ? 1 : 0, handled) << c.marker;
    const std::set<std::string> files = RunFiles();
    if (c.handled) {
      // Request gone; the reply goes back to the sender under the same numbers.
      EXPECT_EQ(0u, files.count(c.marker)) << c.marker;
      ASSERT_EQ(1u, handler.seen.size());
      EXPECT_EQ(2u, files.size()) << c.marker;
    } else {
      // Not ours or not well-formed: left exactly where it was.
      EXPECT_EQ(1u, files.count(c.marker)) << c.marker;
      EXPECT_TRUE(handler.seen.empty()) << c.marker;
    }
    ClearRunDirectory();
  }
}

TEST_F(FileLayer, DispatchTakesARequestWhosePathFillsThePathBuffer) {
  // "/var/run/" and a 246-character marker name: 255 characters, the longest
  // path a layer writes uncut, so its sender is waiting for an answer.
  const std::string sender(226, 's');
  const std::string marker = sender + ".server.1.1.finished";
  ASSERT_EQ(255u, kRun.size() + marker.size());
  WriteRunFile(sender + ".server.1.1.message", "q|");
  WriteRunFile(marker, std::string("finish\n\0", 8));
  EchoHandler handler;
  EXPECT_EQ(1, DispatchIncoming("server", &handler));
  EXPECT_EQ((std::set<std::string>{"server." + sender + ".1.1.finished",
                                   "server." + sender + ".1.1.message"}),
            RunFiles());
}

TEST_F(FileLayer, DispatchReplyCarriesTheRequest) {
  WriteRunFile("client.server.812.3.message", std::string("a|b|\0", 5));
  WriteRunFile("client.server.812.3.finished", std::string("finish\n\0", 8));
  EchoHandler handler;
  EXPECT_EQ(1, DispatchIncoming("server", &handler));
  EXPECT_EQ(std::vector<std::string>{"client:812:3"}, handler.seen);
  EXPECT_EQ((std::set<std::string>{"server.client.812.3.finished", "server.client.812.3.message"}),
            RunFiles());
  EXPECT_EQ(std::string("re|a|b|\0", 8), ReadWholeFile(kRun + "server.client.812.3.message"));
  // The client's layer takes the reply.
  LayerPtr client = Create("client", "server", 812);
  client->Receive(new CZelkonFileLayer::CSession(3));
  EXPECT_EQ((std::vector<std::string>{"re", "a", "b"}), Fields(client.get()));
  // A name that answers itself may see its own reply again, but a pass ends.
  WriteRunFile("self.self.1.1.finished", "finish\n");
  const int32_t handled = DispatchIncoming("self", &handler);
  EXPECT_GE(handled, 1);
  EXPECT_LE(handled, kDispatchLimit);
}

TEST_F(FileLayer, DispatchNeverWaitsForAnUnreadableMarker) {
  WriteRunFile("client.server.1.1.finished", "finish\n");
  chmod((kRun + "client.server.1.1.finished").c_str(), 0);
  // Many markers: a pass takes a bounded number, the rest wait for the next.
  for (int i = 0; i < 100; ++i) {
    WriteRunFile("client.server.2." + std::to_string(i + 1) + ".finished", "finish\n");
  }
  EchoHandler handler;
  int32_t total = 0;
  for (int pass = 0; pass < 5; ++pass) total += DispatchIncoming("server", &handler);
  EXPECT_EQ(100, total);
  EXPECT_EQ(1u, RunFiles().count("client.server.1.1.finished"));
  EXPECT_EQ(0, DispatchIncoming("server", nullptr));

  // FIFOs under link names would block whoever opens them for reading.
  ClearRunDirectory();
  ASSERT_EQ(0, mkfifo((kRun + "client.server.3.1.finished").c_str(), 0600));
  ASSERT_EQ(0, mkfifo((kRun + "client.server.3.2.message").c_str(), 0600));
  WriteRunFile("client.server.3.2.finished", "finish\n");
  EXPECT_EQ(1, DispatchIncoming("server", &handler));
  EXPECT_EQ(0u, RunFiles().count("client.server.3.2.message"));
  EXPECT_EQ(0, DispatchIncoming("server", &handler));
}

// The real exchange: a serving process and a client process.
TEST_F(FileLayer, RoundTripBetweenTwoProcesses) {
  const pid_t child = fork();
  ASSERT_NE(-1, child);
  if (child == 0) {
    alarm(15);
    EchoHandler handler;
    int32_t handled = 0;
    for (int i = 0; i < 1000 && handled == 0; ++i) {  // 10 s at most
      handled = DispatchIncoming("ZelkonNavigationServer", &handler);
      if (handled == 0) usleep(10000);
    }
    _exit(handled == 1 ? 0 : 1);
  }
  LayerPtr client = Create("client", "ZelkonNavigationServer", -1);
  ASSERT_TRUE(client);
  client->BeginRequest();
  client->AddArgument("route");
  client->AddArgument("");
  client->AddArgument(std::string(3000, 'p').c_str());
  MZelkonSession* session = client->Send();
  ASSERT_NE(nullptr, session);
  client->Receive(session);
  EXPECT_EQ((std::vector<std::string>{"re", "route", "", std::string(3000, 'p')}),
            Fields(client.get()));
  int status = 0;
  ASSERT_EQ(child, waitpid(child, &status, 0));
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_TRUE(RunFiles().empty());
}

}  // namespace
