// Touch and remote records: any bytes from the devices, read through a pipe
// as the input reader reads its devices.
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "device/device_seams.h"
#include "device/input_reader.h"
#include "device/memory_frame_buffer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 4096) return 0;  // within one pipe buffer
  static CMemoryFrameBuffer display(320, 240);
  SetFrameBufferForTesting(&display);
  SetActivePidForTesting(static_cast<int32_t>(getpid()));
  int fds[2];
  if (pipe(fds) != 0) return 0;
  if (size > 0 && write(fds[1], data, size) != static_cast<ssize_t>(size)) abort();
  close(fds[1]);
  char path[64];
  std::snprintf(path, sizeof path, "/proc/self/fd/%d", fds[0]);
  {
    CNoxInputReader touch(path, "/nonexistent");
    InputEvent e{0, 0, 0};
    for (size_t i = 0; i <= size / 8; ++i) {
      if (touch.ReadTouch(e) && (e.x < -32768 || e.x > 32767 || e.pressure < -32768 || e.pressure > 32767)) abort();
    }
  }
  close(fds[0]);
  for (size_t i = 0; i < size; ++i) {
    int32_t key = RemoteKeyCode(data[i]);
    if (key < 0 || key > 10) abort();
  }
  ResetDeviceForTesting();
  return 0;
}
