#pragma once
// The built-in pictures the skin falls back to: a white 20 x 20 square with
// a black frame (21 x 21 pixels painted), with a cross (check box on) or a
// filled dot (radio button on).

#include "gfx/image.h"

class CDefaultImage : public MImage {
 public:
  static constexpr uint32_t kSize = 20;

  uint32_t GetImageWidth() override { return kSize; }
  uint32_t GetImageHeight() override { return kSize; }
  uint32_t GetDepth() override { return 8; }
  bool DrawImage(MFrameBuffer& target, int32_t x, int32_t y) override;
  // Built-in pictures are never drawn in part.
  bool DrawImagePart(MFrameBuffer&, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t) override {
    return false;
  }
};

class CDefaultCheckOn : public CDefaultImage {
 public:
  bool DrawImage(MFrameBuffer& target, int32_t x, int32_t y) override;
};

class CDefaultRadioOn : public CDefaultImage {
 public:
  bool DrawImage(MFrameBuffer& target, int32_t x, int32_t y) override;
};
