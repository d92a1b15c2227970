#pragma once
// The virtual screen: the shadow frame buffer that all drawing targets. Only
// Flush writes the display, converting the layout for the models whose
// display memory is a row-major grid.

#include <cstdint>
#include <memory>

#include "device/frame_buffer.h"

class MVirtualScreen : public MFrameBuffer {
 public:
  // Copies the shadow to the display; with check, only in the active process.
  virtual void Flush(bool check) = 0;
  // Copies the display's memory into the shadow; with check, only in the active process.
  virtual void ReadBack(bool check) = 0;
  virtual uint8_t* GetDeviceBuffer() = 0;
};

class CVirtualScreen final : public MVirtualScreen {
 public:
  // A shadow of the device's geometry, all black. `device` is not owned.
  // The geometry is read once: a display's never changes, and drawing asks
  // for it on every pixel.
  CVirtualScreen(MFrameBuffer* device, int32_t model);

  uint8_t* GetBuffer() override { return iShadow.get(); }
  uint32_t GetWidth() override { return iWidth; }
  uint32_t GetHeight() override { return iHeight; }
  uint32_t GetBitsPerPixel() override { return iBitsPerPixel; }
  // The device's own offsets: every frame buffer has the column layout.
  int32_t GetPixelOffset(int32_t x, int32_t y) override {
    return ColumnLayoutOffset(x, y, iHeight, static_cast<int32_t>(iBitsPerPixel >> 3));
  }

  void Flush(bool check) override;
  void ReadBack(bool check) override;
  uint8_t* GetDeviceBuffer() override { return iDevice->GetBuffer(); }

 private:
  size_t Bytes();

  std::unique_ptr<uint8_t[]> iShadow;
  MFrameBuffer* iDevice;
  int32_t iModel;
  uint32_t iWidth;
  uint32_t iHeight;
  uint32_t iBitsPerPixel;
};

// The shadow screen over GetFrameBuffer, for the model from GetModelId;
// created on first use, destroyed at process exit (or the stand-in of
// SetVirtualScreenForTesting).
MVirtualScreen* GetVirtualScreen();
