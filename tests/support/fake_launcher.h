#pragma once
// A launcher service for tests, served from a thread on a local socket
// (/var/run/launchsock by default, so only inside the device sandbox). Each
// connection carries one NUL-terminated request; the handler decides the
// reply: the parts written (a short pause between them, so that they arrive
// as separate reads), and whether the connection is then held open without
// a word until the launcher stops.

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct FakeReply {
  std::vector<std::string> parts;  // written as given (include the NUL where wanted)
  bool hold = false;
};

// The reply line as the launcher writes it: the text and its NUL.
inline std::string Line(const std::string& text) { return text + std::string(1, '\0'); }

class FakeLauncher {
 public:
  using Handler = std::function<FakeReply(const std::string& request)>;

  explicit FakeLauncher(Handler handler, std::string path = "/var/run/launchsock")
      : iHandler(std::move(handler)), iPath(std::move(path)) {
    unlink(iPath.c_str());
    iListen = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un a{};
    a.sun_family = AF_UNIX;
    std::strncpy(a.sun_path, iPath.c_str(), sizeof a.sun_path - 1);
    iReady = iListen >= 0 && bind(iListen, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
             listen(iListen, 16) == 0;
    if (iReady) iThread = std::thread([this] { Serve(); });
  }
  ~FakeLauncher() {
    iStop = true;
    if (iThread.joinable()) iThread.join();
    for (int fd : iHeld) close(fd);
    if (iListen >= 0) close(iListen);
    unlink(iPath.c_str());
  }
  FakeLauncher(const FakeLauncher&) = delete;
  FakeLauncher& operator=(const FakeLauncher&) = delete;

  bool Ready() const { return iReady; }
  // Closes the connections held without a word, as a launcher that gives up would.
  void CloseHeld() {
    std::lock_guard<std::mutex> lock(iMutex);
    for (int fd : iHeld) close(fd);
    iHeld.clear();
  }
  std::vector<std::string> Requests() {
    std::lock_guard<std::mutex> lock(iMutex);
    return iRequests;
  }

 private:
  bool WaitReadable(int fd) {
    while (!iStop) {
      pollfd p{fd, POLLIN, 0};
      if (poll(&p, 1, 10) > 0) return true;
    }
    return false;
  }
  void Serve() {
    while (WaitReadable(iListen)) {
      int c = accept4(iListen, nullptr, nullptr, SOCK_CLOEXEC);
      if (c < 0) continue;
      std::string request;
      char ch = 1;
      while (WaitReadable(c) && read(c, &ch, 1) == 1 && ch != '\0') request += ch;
      {
        std::lock_guard<std::mutex> lock(iMutex);
        iRequests.push_back(request);
      }
      FakeReply reply = iHandler(request);
      for (size_t i = 0; i < reply.parts.size(); ++i) {
        if (i > 0) usleep(30000);
        (void)!send(c, reply.parts[i].data(), reply.parts[i].size(), MSG_NOSIGNAL);
      }
      if (reply.hold) {
        std::lock_guard<std::mutex> lock(iMutex);
        iHeld.push_back(c);
      } else {
        close(c);
      }
    }
  }

  Handler iHandler;
  std::string iPath;
  int iListen = -1;
  bool iReady = false;
  std::atomic<bool> iStop{false};
  std::mutex iMutex;
  std::vector<std::string> iRequests;
  std::vector<int> iHeld;
  std::thread iThread;
};
