#include "tests/support/test_environment.h"

#include <unistd.h>

#include "device/device_seams.h"
#include "device/memory_frame_buffer.h"
#include "sysutil/platform_time.h"

namespace {
constexpr int32_t kTestModel = 7;
}  // namespace

CMemoryFrameBuffer& TestDisplay() {
  static CMemoryFrameBuffer display(320, 240);
  return display;
}

void InstallTestDefaults() {
  // The device layer's own order: the virtual screen and the input reader
  // before the display they hold.
  ResetDeviceForTesting();
  SetPlatformTimeForTesting(nullptr);
  TestDisplay().Fill(0);
  SetFrameBufferForTesting(&TestDisplay());
  SetModelIdForTesting(kTestModel);
  SetActivePidForTesting(static_cast<int32_t>(getpid()));
}
