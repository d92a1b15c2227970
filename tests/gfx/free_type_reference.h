#pragma once
// FreeType opened directly by the test: the reference that the fonts' measures
// are compared with.

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>

inline constexpr const char* kDejaVuSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
inline constexpr const char* kDejaVuMono = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";

// DejaVu Sans at 12 pixels as Debian 12 ships it (fonts-dejavu-core 2.37,
// FreeType 2.12), read once straight from FreeType with the fonts' load flags
// and size. Literals, so that a change in how the fonts drive FreeType cannot
// carry the expectations along with it as the reference above would.
struct PinnedGlyph {
  uint32_t code;
  uint32_t advance;
  uint32_t width, rows;  // the rendered bitmap
  int32_t left, top;
  uint32_t height;  // GetCharHeight: the top, or the rows when the top lies outside the bitmap
};
inline constexpr PinnedGlyph kDejaVuSans12[] = {
    {'A', 8, 8, 9, 0, 9, 9},
    {'g', 8, 6, 10, 1, 7, 7},
    {'W', 11, 11, 9, 0, 9, 9},
    {'.', 4, 1, 2, 1, 2, 2},
};
// The face's design values (2048 units to the em) scaled to 12 pixels and cut
// to whole pixels. FreeType's own rounded size metrics say 14 and 12 for the
// line height and the ascender; the fonts report the scaled values.
inline constexpr int32_t kDejaVuSans12LineHeight = 13;  // 2384 units
inline constexpr int32_t kDejaVuSans12MaxAdvance = 22;  // 3838 units
inline constexpr int32_t kDejaVuSans12Ascender = 11;    // 1901 units
inline constexpr int32_t kDejaVuSans12Descender = -3;   // -483 units

class ReferenceFace {
 public:
  ReferenceFace(const char* path, int32_t pixelSize) {
    FT_Init_FreeType(&iLibrary);
    if (FT_New_Face(iLibrary, path, 0, &face) == 0) FT_Set_Char_Size(face, 0, pixelSize * 64, 0, 0);
  }
  ~ReferenceFace() {
    if (face != nullptr) FT_Done_Face(face);
    FT_Done_FreeType(iLibrary);
  }
  FT_UInt Index(uint32_t code) { return FT_Get_Char_Index(face, code); }
  FT_GlyphSlot Render(uint32_t code) {
    FT_Load_Char(face, code, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO);
    return face->glyph;
  }
  int32_t Advance(uint32_t code) {
    FT_Load_Glyph(face, Index(code), FT_LOAD_RENDER | FT_LOAD_TARGET_MONO);
    return static_cast<int32_t>(face->glyph->advance.x >> 6);
  }
  int32_t Kerning(uint32_t left, uint32_t right) {
    FT_Vector v{};
    FT_Get_Kerning(face, Index(left), Index(right), FT_KERNING_DEFAULT, &v);
    return static_cast<int32_t>(v.x >> 6);
  }
  int32_t Scaled(FT_Short units, bool vertical) {
    return static_cast<int32_t>(
        FT_MulFix(units, vertical ? face->size->metrics.y_scale : face->size->metrics.x_scale) >> 6);
  }

  FT_Face face = nullptr;

 private:
  FT_Library iLibrary = nullptr;
};
