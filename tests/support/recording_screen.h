#pragma once
// A virtual screen in memory that counts its flushes: what a pass asked of
// the display, without a display. onFlush lets a test log the moment. It is
// GetVirtualScreen while it lives, so declare it before the widgets of a
// test: a widget keeps the virtual screen of its construction.

#include <functional>

#include "device/device_seams.h"
#include "device/memory_frame_buffer.h"
#include "device/virtual_screen.h"

class CRecordingVirtualScreen final : public MVirtualScreen {
 public:
  explicit CRecordingVirtualScreen(uint32_t width = 320, uint32_t height = 240) : iPixels(width, height) {
    SetVirtualScreenForTesting(this);
  }
  ~CRecordingVirtualScreen() override { SetVirtualScreenForTesting(nullptr); }
  CRecordingVirtualScreen(const CRecordingVirtualScreen&) = delete;
  CRecordingVirtualScreen& operator=(const CRecordingVirtualScreen&) = delete;

  uint8_t* GetBuffer() override { return iPixels.GetBuffer(); }
  uint32_t GetWidth() override { return iPixels.GetWidth(); }
  uint32_t GetHeight() override { return iPixels.GetHeight(); }
  uint32_t GetBitsPerPixel() override { return iPixels.GetBitsPerPixel(); }
  int32_t GetPixelOffset(int32_t x, int32_t y) override { return iPixels.GetPixelOffset(x, y); }
  void Flush(bool check) override {
    ++flushes;
    if (!check) ++uncheckedFlushes;
    if (onFlush) onFlush();
  }
  void ReadBack(bool) override {}
  uint8_t* GetDeviceBuffer() override { return iPixels.GetBuffer(); }

  CMemoryFrameBuffer& Pixels() { return iPixels; }
  Color PixelAt(int32_t x, int32_t y) { return iPixels.PixelAt(x, y); }

  int flushes = 0;
  int uncheckedFlushes = 0;
  std::function<void()> onFlush;

 private:
  CMemoryFrameBuffer iPixels;
};
