#include "device/virtual_screen.h"

#include <cstring>

#include "device/column_transpose.h"
#include "device/device_seams.h"
#include "device/device_values.h"
#include "device/process_registry.h"

namespace {

std::unique_ptr<CVirtualScreen> gScreen;
MVirtualScreen* gStandIn = nullptr;

enum class Layout { kColumns, kRows };

// Models whose display memory is a row-major grid (pixel y * W + x) rather
// than the shadow's column runs.
Layout DisplayLayout(int32_t model) {
  switch (model) {
    case 27: case 57: case 121: case 528:  // fixed 320 x 240 panels
    case 144: case 400:                    // panels of the device's geometry
      return Layout::kRows;
    default:
      return Layout::kColumns;
  }
}

}  // namespace

CVirtualScreen::CVirtualScreen(MFrameBuffer* device, int32_t model)
    : iDevice(device), iModel(model), iWidth(device->GetWidth()), iHeight(device->GetHeight()),
      iBitsPerPixel(device->GetBitsPerPixel()) {
  // Sized as any frame buffer: below 16 bits the last pixel's store needs a byte more.
  size_t n = FrameBufferStorageBytes(iWidth, iHeight, iBitsPerPixel);
  if (n > 0) iShadow.reset(new uint8_t[n]());
}

size_t CVirtualScreen::Bytes() {
  // 64-bit product, as for the display's own mapping.
  return static_cast<size_t>(uint64_t{iWidth} * iHeight * iBitsPerPixel / 8);
}

void CVirtualScreen::Flush(bool check) {
  if (!IsActiveProcess(check)) return;
  uint8_t* display = iDevice->GetBuffer();
  if (display == nullptr || !iShadow) return;
  // The transpose moves 16-bit pixels; at another depth the pixel numbers
  // would not fit the memory, so such a display takes the plain copy.
  if (DisplayLayout(iModel) == Layout::kRows && iBitsPerPixel == 16) {
    // The fixed 320 x 240 panels are transposed with the device's own
    // geometry too: the same bytes at 320 x 240, and never past the shadow
    // or the display at any other size.
    ColumnsToRows(iShadow.get(), display, iWidth, iHeight);
    return;
  }
  std::memcpy(display, iShadow.get(), Bytes());
}

void CVirtualScreen::ReadBack(bool check) {
  if (!IsActiveProcess(check)) return;
  uint8_t* display = iDevice->GetBuffer();
  if (display == nullptr || !iShadow) return;
  std::memcpy(iShadow.get(), display, Bytes());
}

MVirtualScreen* GetVirtualScreen() {
  if (gStandIn != nullptr) return gStandIn;
  if (!gScreen) gScreen.reset(new CVirtualScreen(GetFrameBuffer(), GetModelId()));
  return gScreen.get();
}

void SetVirtualScreenForTesting(MVirtualScreen* screen) {
  gScreen.reset();
  gStandIn = screen;
}

void device_reset::VirtualScreen() { SetVirtualScreenForTesting(nullptr); }
