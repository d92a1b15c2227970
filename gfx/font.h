#pragma once
// MFont: the one interface through which all text is measured and painted.
// Text is either a NUL-terminated byte string (codes 0-255, read unsigned) or a
// WideText (a zero-terminated array of 32-bit codes); every operation exists
// for both. A null text pointer counts as an empty text.

#include <cstdint>

#include "device/frame_buffer.h"

using WideChar = uint32_t;
using WideText = const WideChar*;

class MFont {
 public:
  // Height of the character above the baseline (the cell height for the fixed font).
  virtual uint32_t GetCharHeight(uint32_t code) = 0;
  // Largest GetCharHeight over the text; 0 for an empty text.
  virtual uint32_t GetTextHeight(const char* text) = 0;
  virtual uint32_t GetTextHeight(WideText text) = 0;
  // Pen advance of the character.
  virtual uint32_t GetCharWidth(uint32_t code) = 0;
  virtual uint32_t GetTextWidth(const char* text) = 0;
  virtual uint32_t GetTextWidth(WideText text) = 0;
  // y is the baseline (outline fonts) or the top of the cell (fixed font).
  virtual bool DrawChar(MFrameBuffer& target, uint32_t code, uint32_t x, uint32_t y, Color color) = 0;
  // y is the top of the text.
  virtual bool DrawText(MFrameBuffer& target, const char* text, uint32_t x, uint32_t y, Color color) = 0;
  virtual bool DrawText(MFrameBuffer& target, WideText text, uint32_t x, uint32_t y, Color color) = 0;
  // Font-wide values by kind; any other kind gives 0.
  enum MetricKind { kLineHeight = 0, kMaxAdvance = 1, kAscender = 2, kDescender = 3 };
  virtual int32_t GetMetric(int32_t kind) = 0;
  virtual ~MFont() = default;
};

// Walks a byte string or a WideText as a sequence of unsigned codes.
namespace font_text {
inline uint32_t CodeAt(const char* text, uint32_t i) { return static_cast<unsigned char>(text[i]); }
inline uint32_t CodeAt(WideText text, uint32_t i) { return text[i]; }

// The largest GetCharHeight over the text; 0 for an empty text.
template <typename Text> uint32_t TallestChar(MFont& font, Text text) {
  uint32_t height = 0;
  if (text == nullptr) return 0;
  for (uint32_t i = 0; CodeAt(text, i) != 0; ++i) {
    const uint32_t h = font.GetCharHeight(CodeAt(text, i));
    if (h > height) height = h;
  }
  return height;
}
}  // namespace font_text

// Paints (x, y) when it lies inside the target; coordinates that do not fit a
// signed 32-bit value lie outside every target.
inline void PaintGlyphPixel(MFrameBuffer& fb, int64_t x, int64_t y, Color color) {
  if (x < 0 || y < 0 || x > INT32_MAX || y > INT32_MAX) return;
  PaintPixel(fb, static_cast<int32_t>(x), static_cast<int32_t>(y), color);
}
