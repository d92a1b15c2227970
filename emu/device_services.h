#pragma once
// The device's own services that the program may call on, played by the
// emulator without waiting: the launcher on /var/run/launchsock and the
// navigation software's end of the file-based message link in /var/run.
// Serve handles whatever has arrived and returns at once. What they were
// asked goes to the report (one line each).

#include <chrono>
#include <functional>
#include <string>
#include <vector>

using ServiceReport = std::function<void(const std::string&)>;

// The launcher: "LAUNCH <command>" is answered "PID -1" (the emulated device
// starts no further programs), "WAIT4 <pid>" with "0 0" (nothing has
// ended), "KILL <pid>" with "-1". Every reply is its text and a NUL.
class CLauncherService {
 public:
  explicit CLauncherService(ServiceReport report) : iReport(std::move(report)) {}
  ~CLauncherService();
  CLauncherService(const CLauncherService&) = delete;
  CLauncherService& operator=(const CLauncherService&) = delete;

  bool Listen(const std::string& socketPath);
  void Serve();
  // The reply to one request line.
  static std::string Answer(const std::string& request);

  // At most this many clients at once, each request at most kMaxRequest bytes.
  static constexpr size_t kMaxClients = 8;
  static constexpr size_t kMaxRequest = 1024;
  // A request must be whole within this time of the connection.
  static constexpr std::chrono::seconds kRequestTime{5};

 private:
  struct Client {
    int fd;
    std::string request;
    std::chrono::steady_clock::time_point since;
  };
  int iListen = -1;
  std::string iPath;
  std::vector<Client> iClients;
  ServiceReport iReport;
};

// The navigation software's end of the message link: each request addressed
// to "ZelkonNavigationServer" (a complete marker beside its message) is read,
// both files are removed, and the reply "OK|" goes back under the same
// sequence number, message first, then its marker.
class CNavigationServer {
 public:
  CNavigationServer(std::string runDir, ServiceReport report)
      : iRunDir(std::move(runDir)), iReport(std::move(report)) {}
  void Serve();

  static constexpr const char* kName = "ZelkonNavigationServer";
  // Requests answered in one Serve at the most; the rest wait for the next.
  static constexpr size_t kMaxPerServe = 64;
  // A request's message is read up to this size.
  static constexpr size_t kMaxMessage = 64 * 1024;

 private:
  std::string iRunDir;
  ServiceReport iReport;
};
