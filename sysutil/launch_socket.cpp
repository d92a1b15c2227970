#include "sysutil/launch_socket.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "sysutil/platform_time.h"

namespace {

constexpr const char* kLaunchSocket = "/var/run/launchsock";
constexpr int kReplySize = 128;
constexpr int kArgsLineSize = 1024;
constexpr uint32_t kLaunchPollPause = 10000;
constexpr uint32_t kQueryPollPause = 1000;

// Sends request and collects one reply line into reply (NUL-terminated): up
// to its NUL, until the buffer is full, or until the launcher closes. A
// reply split over several reads is joined. False when nothing came back.
bool Exchange(const char* request, uint32_t pause, char (&reply)[kReplySize]) {
  CLaunchConnection* c = new CLaunchConnection();
  c->Connect(kLaunchSocket);
  c->SendLine(request);
  int got = 0;
  for (;;) {
    int n = c->Poll(reply + got, kReplySize - 1 - got);
    if (n == 0) {
      SleepMicroseconds(pause);
      continue;
    }
    if (n < 0) break;
    got += n;
    if (std::memchr(reply + got - n, '\0', static_cast<size_t>(n)) != nullptr) break;
    if (got == kReplySize - 1) break;
  }
  c->Close();
  delete c;
  reply[got] = '\0';
  return got > 0;
}

// One decimal integer after optional white space, as "%d" reads it; an
// out-of-range number is no number.
bool ParseInt(const char*& p, int32_t& value) {
  while (std::isspace(static_cast<unsigned char>(*p))) ++p;
  bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  if (!std::isdigit(static_cast<unsigned char>(*p))) return false;
  int64_t v = 0;
  for (; std::isdigit(static_cast<unsigned char>(*p)); ++p) {
    v = v * 10 + (*p - '0');
    if (v > int64_t{INT32_MAX} + 1) return false;
  }
  if (negative) v = -v;
  if (v > INT32_MAX || v < INT32_MIN) return false;
  value = static_cast<int32_t>(v);
  return true;
}

int32_t LaunchReply(const char* request) {
  char reply[kReplySize];
  int32_t pid = -1;
  if (!Exchange(request, kLaunchPollPause, reply) || !ParseLaunchReply(reply, pid)) return -1;
  return pid;
}

}  // namespace

CLaunchConnection::CLaunchConnection() : iSocket(-1), iAddress(), iStatus(-1) { FD_ZERO(&iReadSet); }

CLaunchConnection::~CLaunchConnection() { Close(); }

void CLaunchConnection::Connect(const char* path) {
  iStatus = -1;
  iSocket = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (iSocket < 0) return;
  // select's descriptor set cannot hold a larger descriptor.
  if (iSocket >= FD_SETSIZE) return;
  std::memset(&iAddress, 0, sizeof iAddress);
  iAddress.sun_family = AF_UNIX;
  if (std::strlen(path) >= sizeof iAddress.sun_path) return;
  std::strcpy(iAddress.sun_path, path);
  iStatus = connect(iSocket, reinterpret_cast<const sockaddr*>(&iAddress), sizeof iAddress);
}

void CLaunchConnection::SendLine(const char* text) {
  if (iStatus == -1) return;
  size_t n = std::strlen(text) + 1;
  // No SIGPIPE when the launcher has gone: the failed send is the result.
  ssize_t sent = send(iSocket, text, n, MSG_NOSIGNAL);
  if (sent != static_cast<ssize_t>(n)) iStatus = -1;
}

int CLaunchConnection::Poll(char* buffer, int size) {
  if (iStatus == -1) return -1;
  FD_ZERO(&iReadSet);
  FD_SET(iSocket, &iReadSet);
  timeval wait{0, 100};
  iStatus = select(iSocket + 1, &iReadSet, nullptr, nullptr, &wait);
  if (iStatus < 0) return -1;
  if (iStatus == 0) return 0;
  ssize_t n = read(iSocket, buffer, static_cast<size_t>(size));
  if (n <= 0) return -1;
  return static_cast<int>(n);
}

void CLaunchConnection::Close() {
  // Also after a failed connect: the descriptor is ours either way.
  if (iSocket >= 0) close(iSocket);
  iSocket = -1;
  iStatus = -1;
}

int32_t SendLaunch(const char* commandLine) {
  size_t size = std::strlen(commandLine) + 8;
  char* request = static_cast<char*>(std::malloc(size));
  if (request == nullptr) return -1;
  std::snprintf(request, size, "LAUNCH %s", commandLine);
  int32_t pid = LaunchReply(request);
  std::free(request);
  return pid;
}

int32_t SendLaunchArgs(const char* const* args) {
  char line[kArgsLineSize] = "LAUNCH ";
  size_t used = std::strlen(line);
  for (int i = 0; args != nullptr && args[i] != nullptr; ++i) {
    size_t n = std::strlen(args[i]);
    size_t blank = i > 0 ? 1 : 0;
    if (used + blank + n + 1 > sizeof line) return -1;
    if (blank) line[used++] = ' ';
    std::memcpy(line + used, args[i], n);
    used += n;
  }
  line[used] = '\0';
  return LaunchReply(line);
}

void SendWait4(int32_t pid, int32_t& endedPid, int32_t& status) {
  endedPid = 0;
  char request[kReplySize];
  std::snprintf(request, sizeof request, "WAIT4 %d", pid);
  char reply[kReplySize];
  if (!Exchange(request, kQueryPollPause, reply)) return;
  ParseWait4Reply(reply, endedPid, status);
}

int32_t SendKill(int32_t pid) {
  char request[kReplySize];
  std::snprintf(request, sizeof request, "KILL %d", pid);
  char reply[kReplySize];
  if (!Exchange(request, kQueryPollPause, reply)) return -1;
  int32_t result = -1;
  if (!ParseKillReply(reply, result)) return -1;
  return result;
}

bool ParseLaunchReply(const char* reply, int32_t& pid) {
  if (std::strncmp(reply, "PID", 3) != 0) return false;
  const char* p = reply + 3;
  return ParseInt(p, pid);
}

bool ParseWait4Reply(const char* reply, int32_t& endedPid, int32_t& status) {
  const char* p = reply;
  int32_t ended = 0;
  int32_t code = 0;
  if (!ParseInt(p, ended) || !ParseInt(p, code)) return false;
  endedPid = ended;
  status = code;
  return true;
}

bool ParseKillReply(const char* reply, int32_t& result) {
  const char* p = reply;
  return ParseInt(p, result);
}
