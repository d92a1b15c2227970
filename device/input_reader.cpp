#include "device/input_reader.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <memory>

#include "device/device_seams.h"
#include "device/frame_buffer.h"
#include "device/process_registry.h"

namespace {

constexpr size_t kRecordSize = 8;
// Samples within this many pixels of the last delivered one, at the same
// pressure, are repeats.
constexpr int32_t kRepeatDistance = 4;

// The last delivered touch record, shared by every reader of the process.
uint8_t gLastTouch[kRecordSize];

std::unique_ptr<MInputReader> gOwned;
MInputReader* gReader = nullptr;

// Signed 16-bit little-endian field of a record.
int32_t Field(const uint8_t* record, int index) {
  uint16_t u = static_cast<uint16_t>(record[2 * index] | (record[2 * index + 1] << 8));
  return static_cast<int16_t>(u);
}

int32_t Distance(int32_t a, int32_t b) { return a > b ? a - b : b - a; }

bool ReadRecord(int fd, uint8_t (&record)[kRecordSize]) {
  if (fd < 0) return false;
  return read(fd, record, kRecordSize) == static_cast<ssize_t>(kRecordSize);
}

}  // namespace

int32_t RemoteKeyCode(uint8_t raw) {
  static const int32_t kCodes[] = {0, 8, 5, 1, 4, 9, 7, 3, 2, 10, 6};
  return raw < sizeof kCodes / sizeof kCodes[0] ? kCodes[raw] : 0;
}

CNoxInputReader::CNoxInputReader(const char* touchPath, const char* remotePath) : iTouch(-1), iRemote(-1) {
  GetFrameBuffer();
  iTouch = open(touchPath, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (iTouch < 0) iTouch = open(touchPath, O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  iRemote = open(remotePath, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
}

CNoxInputReader::~CNoxInputReader() {
  if (iTouch >= 0) close(iTouch);
  if (iRemote >= 0) close(iRemote);
}

bool CNoxInputReader::ReadTouch(InputEvent& event) {
  if (!IsActiveProcess(true)) return false;
  uint8_t record[kRecordSize];
  if (!ReadRecord(iTouch, record)) return false;
  int32_t pressure = Field(record, 0);
  int32_t x = Field(record, 1);
  int32_t y = Field(record, 2);
  // A dropped repeat leaves the reference where it was.
  if (pressure == Field(gLastTouch, 0) && Distance(x, Field(gLastTouch, 1)) <= kRepeatDistance &&
      Distance(y, Field(gLastTouch, 2)) <= kRepeatDistance)
    return false;
  std::memcpy(gLastTouch, record, kRecordSize);
  event.x = x;
  event.y = y;
  event.pressure = pressure;
  return true;
}

bool CNoxInputReader::ReadKey(int32_t& key) {
  key = 0;
  if (!IsActiveProcess(true)) return false;
  uint8_t record[kRecordSize];
  if (!ReadRecord(iRemote, record)) return false;
  key = RemoteKeyCode(record[5]);
  return true;
}

MInputReader* GetInputReader() {
  if (gReader == nullptr) {
    gOwned.reset(new CNoxInputReader("/dev/ts", "/dev/remote"));
    gReader = gOwned.get();
  }
  return gReader;
}

void SetInputReaderForTesting(MInputReader* reader) {
  gOwned.reset();
  gReader = reader;
}

void device_reset::InputReader() {
  SetInputReaderForTesting(nullptr);
  std::memset(gLastTouch, 0, sizeof gLastTouch);
}
