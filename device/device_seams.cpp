#include "device/device_seams.h"

void ResetDeviceForTesting() {
  // Users first: the virtual screen and the input reader hold the display.
  device_reset::VirtualScreen();
  device_reset::InputReader();
  device_reset::FrameBuffer();
  device_reset::ModelId();
  device_reset::Registry();
}
