#pragma once
// CCachedFreeTypeFont: the glyph cache filled from an outline font file. The
// outline font is opened on a cache miss and closed again after a long run of
// hits (its FreeType face is released while the cached glyphs stay usable).

#include <cstdint>
#include <string>

#include "gfx/bitmapped_font.h"
#include "gfx/free_type_font.h"

class CCachedFreeTypeFont : public CBitmappedFont {
 public:
  // Hits in a row after the last load that keep the outline font open; the
  // next one closes it.
  static constexpr uint32_t kHitsBeforeClose = 201;

  // Reads nothing yet: the file is opened when the first glyph is needed.
  CCachedFreeTypeFont(const char* path, int32_t pixelSize);
  ~CCachedFreeTypeFont() override;

  bool LoadGlyph(uint32_t code, uint32_t index) override;
  void OnGlyphHit(uint32_t code, uint32_t index) override;
  int32_t GetMetric(int32_t kind) override;

  bool IsOutlineOpen() const { return iOutline != nullptr; }
  uint32_t HitCounter() const { return iHitCounter; }

 private:
  bool OpenOutline();

  CFreeTypeFont* iOutline = nullptr;
  std::string iPath;
  int32_t iPixelSize;
  uint32_t iHitCounter = 0;
};

// The font for an outline font file at a pixel size, or null when the file
// cannot be used as a font. The caller owns the result.
MFont* CreateCachedFont(const char* path, int32_t pixelSize);
