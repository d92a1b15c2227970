#include "emu/device_services.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <strings.h>

namespace {

// Text of a request or message for a report line: control bytes shown as '.'.
std::string Printable(const std::string& s) {
  std::string out;
  for (char c : s.substr(0, 200)) out.push_back(static_cast<unsigned char>(c) < 32 ? '.' : c);
  return out;
}

// The run folder is the program's to write: a name there may be a link to a
// host file or a FIFO. Only regular files are read, links are not followed,
// and replies are new files, never written through what is in their place.
bool ReadSmallFile(const std::string& path, size_t limit, std::string& out) {
  const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st;
  bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  out.clear();
  char buf[4096];
  ssize_t n = 0;
  while (ok && out.size() < limit && (n = read(fd, buf, sizeof buf)) > 0)
    out.append(buf, std::min(static_cast<size_t>(n), limit - out.size()));
  close(fd);
  return ok && n >= 0;
}

bool WriteNewFile(const std::string& path, const char* data, size_t size) {
  unlink(path.c_str());
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  bool ok = write(fd, data, size) == static_cast<ssize_t>(size);
  ok = close(fd) == 0 && ok;
  return ok;
}

}  // namespace

CLauncherService::~CLauncherService() {
  for (const Client& c : iClients) close(c.fd);
  if (iListen >= 0) {
    close(iListen);
    unlink(iPath.c_str());
  }
}

bool CLauncherService::Listen(const std::string& socketPath) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (socketPath.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
  iListen = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (iListen < 0) return false;
  unlink(socketPath.c_str());
  iPath = socketPath;
  if (bind(iListen, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return false;
  // The program runs under another uid inside the sandbox.
  chmod(socketPath.c_str(), 0666);
  return listen(iListen, 8) == 0;
}

std::string CLauncherService::Answer(const std::string& request) {
  if (request.rfind("LAUNCH ", 0) == 0) return "PID -1";
  if (request.rfind("WAIT4 ", 0) == 0) return "0 0";
  if (request.rfind("KILL ", 0) == 0) return "-1";
  return "ERROR";
}

void CLauncherService::Serve() {
  if (iListen < 0) return;
  while (iClients.size() < kMaxClients) {
    const int fd = accept4(iListen, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) break;
    iClients.push_back({fd, std::string(), std::chrono::steady_clock::now()});
  }
  for (size_t i = 0; i < iClients.size();) {
    Client& c = iClients[i];
    char buf[256];
    bool done = false;
    ssize_t n;
    while ((n = read(c.fd, buf, sizeof buf)) > 0) {
      c.request.append(buf, static_cast<size_t>(n));
      if (c.request.find('\0') != std::string::npos || c.request.size() >= kMaxRequest) break;
    }
    const size_t end = c.request.find('\0');
    if (end != std::string::npos || c.request.size() >= kMaxRequest) {
      const std::string request = c.request.substr(0, end);
      const std::string reply = Answer(request);
      iReport("launcher: \"" + Printable(request) + "\" answered \"" + reply + "\"");
      if (write(c.fd, reply.c_str(), reply.size() + 1) < 0) iReport("launcher: the reply was not taken");
      done = true;
    } else if (n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
      done = true;  // the client went away before its request was whole
    } else if (std::chrono::steady_clock::now() - c.since > kRequestTime) {
      done = true;  // a client that never finishes its request does not keep its place
      iReport("launcher: a request not finished in time was dropped");
    }
    if (done) {
      close(c.fd);
      iClients.erase(iClients.begin() + static_cast<long>(i));
    } else {
      ++i;
    }
  }
}

void CNavigationServer::Serve() {
  DIR* d = opendir(iRunDir.c_str());
  if (d == nullptr) return;
  std::vector<std::string> markers;
  const std::string suffix = ".finished";
  while (dirent* e = readdir(d)) {
    const std::string name = e->d_name;
    if (name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
      markers.push_back(name);
  }
  closedir(d);
  std::sort(markers.begin(), markers.end());  // answered in a fixed order
  size_t handled = 0;
  for (const std::string& marker : markers) {
    // sender.addressee.pid.id.finished, sender and addressee without dots.
    const std::string stem = marker.substr(0, marker.size() - suffix.size());
    size_t dots[3];
    size_t at = 0;
    bool ok = true;
    for (size_t& dot : dots) {
      dot = stem.find('.', at);
      if (dot == std::string::npos) {
        ok = false;
        break;
      }
      at = dot + 1;
    }
    if (!ok || stem.find('.', dots[2] + 1) != std::string::npos) continue;
    const std::string sender = stem.substr(0, dots[0]);
    const std::string addressee = stem.substr(dots[0] + 1, dots[1] - dots[0] - 1);
    const std::string numbers = stem.substr(dots[1] + 1);
    // Addressees match without regard to case, as on the device.
    if (strcasecmp(addressee.c_str(), kName) != 0 || sender.empty() || sender.find('/') != std::string::npos)
      continue;
    if (++handled > kMaxPerServe) break;
    std::string message;
    const std::string messagePath = iRunDir + "/" + stem + ".message";
    if (!ReadSmallFile(messagePath, kMaxMessage, message)) message.clear();
    std::remove((iRunDir + "/" + marker).c_str());
    std::remove(messagePath.c_str());
    const size_t nul = message.find('\0');
    if (nul != std::string::npos) message.resize(nul);
    const std::string replyStem = iRunDir + "/" + kName + "." + sender + "." + numbers;
    static const char kReply[] = "OK|";
    static const char kFinish[] = "finish\n";
    const bool sent = WriteNewFile(replyStem + ".message", kReply, sizeof kReply) &&
                      WriteNewFile(replyStem + ".finished", kFinish, sizeof kFinish);
    iReport("navigation server: request " + numbers + " from " + Printable(sender) + ": \"" +
            Printable(message) + "\"" + (sent ? " answered \"OK|\"" : " could not be answered"));
  }
}
