#pragma once
// CCourierFont: the built-in fixed-pitch font, 5 x 8 cells for the printable
// ASCII codes from a compiled-in glyph table, every glyph pixel drawn as a
// scale x scale block. It needs no file, so it is the font of last resort.

#include <cstdint>

#include "gfx/font.h"

class CCourierFont : public MFont {
 public:
  static constexpr uint32_t kCellWidth = 5;
  static constexpr uint32_t kCellHeight = 8;

  explicit CCourierFont(uint32_t scale) : iScale(scale) {}

  uint32_t GetCharHeight(uint32_t code) override;
  uint32_t GetTextHeight(const char* text) override;
  uint32_t GetTextHeight(WideText text) override;
  uint32_t GetCharWidth(uint32_t code) override;
  uint32_t GetTextWidth(const char* text) override;
  uint32_t GetTextWidth(WideText text) override;
  // (x, y) is the top-left corner of the cell; a character is drawn only when
  // its whole cell fits, otherwise the result is false.
  bool DrawChar(MFrameBuffer& target, uint32_t code, uint32_t x, uint32_t y, Color color) override;
  bool DrawText(MFrameBuffer& target, const char* text, uint32_t x, uint32_t y, Color color) override;
  bool DrawText(MFrameBuffer& target, WideText text, uint32_t x, uint32_t y, Color color) override;
  int32_t GetMetric(int32_t kind) override;

  uint32_t Scale() const { return iScale; }
  // The five column bytes of a code's glyph (bit 0 the top row); codes outside
  // 32-126 give the space.
  static const uint8_t* GlyphColumns(uint32_t code);
  // Scales a bitmap may be asked for, and the bytes it then needs at most.
  static constexpr uint32_t kMaxBitmapScale = 23;
  static constexpr uint32_t kMaxBitmapBytes =
      (kCellWidth * kMaxBitmapScale + 7) / 8 * kCellHeight * kMaxBitmapScale;
  // The code's glyph as a one-bit bitmap (MSB the leftmost pixel) of
  // kCellWidth x kCellHeight cells of scale x scale pixels, into bits of
  // kMaxBitmapBytes; returns the pitch. A code without a glyph of its own
  // gives '?', so a stand-in is never blank; scales above the most are cut.
  static uint32_t GlyphBitmap(uint32_t code, uint32_t scale, uint8_t* bits);

 private:
  template <typename Text> uint32_t TextWidth(Text text);
  template <typename Text> bool PaintText(MFrameBuffer& target, Text text, uint32_t x, uint32_t y, Color color);

  uint32_t iScale;
};

class FixedFontManager {
 public:
  static constexpr uint32_t kScaleCount = 24;

  FixedFontManager() = default;
  virtual ~FixedFontManager();
  FixedFontManager(const FixedFontManager&) = delete;
  FixedFontManager& operator=(const FixedFontManager&) = delete;

  // The font for a scale 0-23, made on first request; null for other scales.
  CCourierFont* GetFont(uint32_t scale);

 private:
  CCourierFont* iFonts[kScaleCount] = {};
};

// The process-wide fixed font of a scale 0-23 (null for other scales); the
// manager owns it.
CCourierFont* GetFixedFont(uint32_t scale);
