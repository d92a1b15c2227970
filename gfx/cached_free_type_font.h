#pragma once
// CCachedFreeTypeFont: the glyph table filled from an outline font file. The
// byte codes 32-255 are rendered when the font is made, so text keeps drawing
// after the file is gone (the card pulled with the skin on it). Other codes
// are rendered on their first use; the outline font is opened for that and
// closed again after a long run of hits. A glyph that can no longer be had
// (the file gone or spoilt) is drawn with the built-in fixed font, never blank.

#include <cstdint>
#include <string>

#include "gfx/bitmapped_font.h"
#include "gfx/free_type_font.h"

class CCachedFreeTypeFont : public CBitmappedFont {
 public:
  // Hits in a row after the last load that keep the outline font open; the
  // next one closes it.
  static constexpr uint32_t kHitsBeforeClose = 201;
  // The codes rendered when the font is made: every byte code a text can draw.
  static constexpr uint32_t kFirstRenderedCode = 32;
  static constexpr uint32_t kLastRenderedCode = 255;

  // Renders codes 32-255 from the file and closes it again; IsLoaded tells
  // whether the file could be used as a font.
  CCachedFreeTypeFont(const char* path, int32_t pixelSize);
  ~CCachedFreeTypeFont() override;

  bool LoadGlyph(uint32_t code, uint32_t index) override;
  void OnGlyphHit(uint32_t code, uint32_t index) override;
  // The outline font's values, kept from when the font was made.
  int32_t GetMetric(int32_t kind) override;

  bool IsLoaded() const { return iLoaded; }
  bool IsOutlineOpen() const { return iOutline != nullptr; }
  uint32_t HitCounter() const { return iHitCounter; }
  // Scale of the fixed font that stands in for glyphs that cannot be had.
  uint32_t FixedScale() const { return iFixedScale; }

 private:
  bool OpenOutline();
  void CloseOutline();
  bool AddFixedGlyph(uint32_t code);

  static constexpr int32_t kMetricCount = 4;

  CFreeTypeFont* iOutline = nullptr;
  std::string iPath;
  int32_t iPixelSize;
  uint32_t iHitCounter = 0;
  uint32_t iFixedScale;
  int32_t iMetrics[kMetricCount] = {};
  bool iLoaded = false;
};

// The font for an outline font file at a pixel size, or null when the file
// cannot be used as a font. The caller owns the result.
MFont* CreateCachedFont(const char* path, int32_t pixelSize);
