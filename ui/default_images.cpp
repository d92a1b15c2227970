#include "ui/default_images.h"

#include "gfx/color_scheme.h"
#include "ui/painting.h"

bool CDefaultImage::DrawImage(MFrameBuffer& target, int32_t x, int32_t y) {
  const int32_t s = static_cast<int32_t>(kSize);
  FillBox(target, x, y, x + s, y + s, colorWhite, 0);
  DrawRect(target, x, y, x + s, y + s, colorBlack);
  return true;
}

bool CDefaultCheckOn::DrawImage(MFrameBuffer& target, int32_t x, int32_t y) {
  const bool drawn = CDefaultImage::DrawImage(target, x, y);
  const int32_t s = static_cast<int32_t>(kSize);
  DrawLine(target, x, y, x + s, y + s, colorBlack);
  DrawLine(target, x, y + s, x + s, y, colorBlack);
  return drawn;
}

bool CDefaultRadioOn::DrawImage(MFrameBuffer& target, int32_t x, int32_t y) {
  const bool drawn = CDefaultImage::DrawImage(target, x, y);
  FillBox(target, x + 5, y + 5, x + 16, y + 16, colorBlack, 4);
  return drawn;
}
