#include "device/frame_buffer.h"

#include <memory>

#include "device/device_seams.h"

namespace {
// Destroyed by the process-exit handlers.
std::unique_ptr<MFrameBuffer> gOwned;
MFrameBuffer* gFrameBuffer = nullptr;
}  // namespace

MFrameBuffer* GetFrameBuffer() {
  if (gFrameBuffer == nullptr) {
    gOwned.reset(CreateDisplayFrameBuffer("/dev/fb"));
    gFrameBuffer = gOwned.get();
  }
  return gFrameBuffer;
}

void SetFrameBufferForTesting(MFrameBuffer* fb) {
  gOwned.reset();
  gFrameBuffer = fb;
}

void device_reset::FrameBuffer() { SetFrameBufferForTesting(nullptr); }
