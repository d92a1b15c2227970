#pragma once
// Client of the device's launcher service on /var/run/launchsock. Each
// request opens a fresh connection, sends one NUL-terminated line, waits for
// one reply line and closes. There is no overall time-out: a launcher that
// accepts a request and never answers blocks the caller.

#include <sys/select.h>
#include <sys/un.h>

#include <cstdint>

class CLaunchConnection {
 public:
  CLaunchConnection();
  ~CLaunchConnection();
  CLaunchConnection(const CLaunchConnection&) = delete;
  CLaunchConnection& operator=(const CLaunchConnection&) = delete;

  // A failed connect leaves the connection unusable (status -1); the other
  // operations then fail quietly.
  void Connect(const char* path);
  // Writes text and its NUL in one write; a short or failed write makes the
  // connection unusable.
  void SendLine(const char* text);
  // Waits 100 microseconds for the socket to become readable: -1 when the
  // connection is unusable, failed or closed by the peer, 0 when nothing
  // came, else the number of bytes read (at most size).
  int Poll(char* buffer, int size);
  void Close();

 private:
  int iSocket;
  sockaddr_un iAddress;
  int iStatus;
  fd_set iReadSet;
};

// The pid of the started process; -1 when the launcher cannot be reached or
// its reply is not "PID <n>".
int32_t SendLaunch(const char* commandLine);
// As SendLaunch for the arguments (null-terminated array) joined by single
// blanks; -1, sending nothing, when the line would not fit 1,024 bytes.
int32_t SendLaunchArgs(const char* const* args);
// The id of the process that ended (0 when none or on any failure) and its
// exit status (set only with a well-formed reply).
void SendWait4(int32_t pid, int32_t& endedPid, int32_t& status);
// The launcher's result for the kill; -1 on failure.
int32_t SendKill(int32_t pid);

// The reply parsers, for text from the launcher (untrusted): "PID <n>",
// "<ended> <status>" and "<n>", each number as "%d" reads it. False, leaving
// the outputs alone, when the text does not match.
bool ParseLaunchReply(const char* reply, int32_t& pid);
bool ParseWait4Reply(const char* reply, int32_t& endedPid, int32_t& status);
bool ParseKillReply(const char* reply, int32_t& result);
