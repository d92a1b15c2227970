#include "tests/support/test_environment.h"

#include <unistd.h>

#include "device/device_seams.h"
#include "device/memory_frame_buffer.h"
#include "sysutil/platform_time.h"
#include "tests/support/scripted_input.h"
#include "ui/ui_seams.h"

namespace {
constexpr int32_t kTestModel = 7;
}  // namespace

CMemoryFrameBuffer& TestDisplay() {
  static CMemoryFrameBuffer display(320, 240);
  return display;
}

CScriptedInputReader& TestInput() {
  static CScriptedInputReader input;
  return input;
}

void InstallTestDefaults() {
  // Users before what they point to: the toolkit's loop and skin, then the
  // device layer in its own order.
  ResetUIForTesting();
  ResetDeviceForTesting();
  SetPlatformTimeForTesting(nullptr);
  TestDisplay().Fill(0);
  SetFrameBufferForTesting(&TestDisplay());
  TestInput() = CScriptedInputReader();
  SetInputReaderForTesting(&TestInput());
  SetModelIdForTesting(kTestModel);
  SetActivePidForTesting(static_cast<int32_t>(getpid()));
}
