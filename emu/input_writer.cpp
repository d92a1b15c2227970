#include "emu/input_writer.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>

std::array<uint8_t, 8> TouchRecord(int16_t pressure, int16_t x, int16_t y) {
  std::array<uint8_t, 8> r{};
  const int16_t fields[3] = {pressure, x, y};
  for (int i = 0; i < 3; ++i) {
    const uint16_t v = static_cast<uint16_t>(fields[i]);
    r[static_cast<size_t>(2 * i)] = static_cast<uint8_t>(v & 0xFF);
    r[static_cast<size_t>(2 * i + 1)] = static_cast<uint8_t>(v >> 8);
  }
  return r;
}

std::array<uint8_t, 8> RemoteRecord(uint8_t raw) {
  std::array<uint8_t, 8> r{};
  r[5] = raw;
  return r;
}

uint8_t RawKeyNumber(int32_t code) {
  // The remote's raw numbers, by the code the toolkit gives each.
  static constexpr uint8_t kRaw[11] = {0, 3, 8, 7, 4, 2, 10, 6, 1, 5, 9};
  return code >= 1 && code <= 10 ? kRaw[code] : 0;
}

CInputWriter::~CInputWriter() {
  if (iTouch >= 0) close(iTouch);
  if (iRemote >= 0) close(iRemote);
}

bool CInputWriter::Open(const std::string& touchFifo, const std::string& remoteFifo) {
  iTouch = open(touchFifo.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
  iRemote = open(remoteFifo.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
  return iTouch >= 0 && iRemote >= 0;
}

bool CInputWriter::Write(int fd, const std::array<uint8_t, 8>& record) {
  ssize_t n;
  do {
    n = write(fd, record.data(), record.size());
  } while (n < 0 && errno == EINTR);
  // Writes of up to a pipe's atomic size are queued whole or not at all.
  return n == static_cast<ssize_t>(record.size());
}

bool CInputWriter::Touch(int16_t pressure, int16_t x, int16_t y) {
  return iTouch >= 0 && Write(iTouch, TouchRecord(pressure, x, y));
}

bool CInputWriter::Key(int32_t code) {
  const uint8_t raw = RawKeyNumber(code);
  return raw != 0 && iRemote >= 0 && Write(iRemote, RemoteRecord(raw));
}

size_t CInputWriter::Pending() const {
  size_t total = 0;
  for (int fd : {iTouch, iRemote}) {
    int n = 0;
    if (fd >= 0 && ioctl(fd, FIONREAD, &n) == 0 && n > 0) total += static_cast<size_t>(n);
  }
  return total;
}
