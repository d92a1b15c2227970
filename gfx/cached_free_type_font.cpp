#include "gfx/cached_free_type_font.h"

#include <new>

#include "gfx/courier_font.h"

namespace {
constexpr uint32_t kInitialDefaultAdvance = 8;

// The fixed font's cell is 8 rows: about as tall as the outline's em square.
uint32_t FixedScaleFor(int32_t pixelSize) {
  const int32_t scale = pixelSize / static_cast<int32_t>(CCourierFont::kCellHeight);
  if (scale < 1) return 1;
  return static_cast<uint32_t>(scale) > CCourierFont::kMaxBitmapScale ? CCourierFont::kMaxBitmapScale
                                                                       : static_cast<uint32_t>(scale);
}
}  // namespace

CCachedFreeTypeFont::CCachedFreeTypeFont(const char* path, int32_t pixelSize)
    : CBitmappedFont(kInitialDefaultAdvance),
      iPath(path != nullptr ? path : ""),
      iPixelSize(pixelSize),
      iFixedScale(FixedScaleFor(pixelSize)) {
  if (!OpenOutline()) return;
  for (int32_t kind = 0; kind < kMetricCount; ++kind) iMetrics[kind] = iOutline->GetMetric(kind);
  for (uint32_t code = kFirstRenderedCode; code <= kLastRenderedCode; ++code) FindGlyph(code);
  // The face and its file go: what text needs is in the table.
  CloseOutline();
  iLoaded = true;
}

CCachedFreeTypeFont::~CCachedFreeTypeFont() { CloseOutline(); }

bool CCachedFreeTypeFont::OpenOutline() {
  if (iOutline != nullptr) return true;
  CFreeTypeFont* outline = new (std::nothrow) CFreeTypeFont(iPath.c_str(), iPixelSize, false);
  if (outline == nullptr) return false;
  if (!outline->IsLoaded()) {
    delete outline;
    return false;
  }
  iOutline = outline;
  // Characters that cannot be produced advance by about half an "M".
  const uint32_t half = iOutline->GetCharWidth('M') / 2;
  ResetDefaultGlyph(half > 4 ? half - 2 : half);
  return true;
}

void CCachedFreeTypeFont::CloseOutline() {
  delete iOutline;
  iOutline = nullptr;
}

bool CCachedFreeTypeFont::AddFixedGlyph(uint32_t code) {
  uint8_t bits[CCourierFont::kMaxBitmapBytes];
  const uint32_t scale = iFixedScale;
  const uint32_t pitch = CCourierFont::GlyphBitmap(code, scale, bits);
  // The cell's last row lies below the baseline, where the descenders go.
  const uint32_t above = (CCourierFont::kCellHeight - 1) * scale;
  return AddGlyph(code, CCourierFont::kCellWidth * scale, CCourierFont::kCellHeight * scale, pitch,
                  (CCourierFont::kCellWidth + 1) * scale, static_cast<int32_t>(above), 0,
                  static_cast<int32_t>(above), bits);
}

bool CCachedFreeTypeFont::LoadGlyph(uint32_t code, uint32_t index) {
  FreeSlot(index);
  if (!OpenOutline()) return AddFixedGlyph(code);
  // Measure first: measuring loads glyphs and would overwrite the rendered bitmap.
  const uint32_t advance = iOutline->GetCharWidth(code);
  const uint32_t height = iOutline->GetCharHeight(code);
  MonoBitmap bitmap;
  // A glyph that does not load (the file cut or spoilt since) gets a stand-in;
  // one that loads empty, like the space, stays empty.
  if (!iOutline->RenderChar(code, bitmap)) return AddFixedGlyph(code);
  if (bitmap.buffer == nullptr) return false;
  if (!AddGlyph(code, bitmap.width, bitmap.rows, bitmap.pitch, advance,
                height > INT32_MAX ? -1 : static_cast<int32_t>(height), bitmap.left, bitmap.top, bitmap.buffer))
    return false;
  iHitCounter = 0;
  return true;
}

void CCachedFreeTypeFont::OnGlyphHit(uint32_t, uint32_t) {
  if (iOutline == nullptr) return;
  if (iHitCounter++ >= kHitsBeforeClose) CloseOutline();
}

int32_t CCachedFreeTypeFont::GetMetric(int32_t kind) {
  return kind >= 0 && kind < kMetricCount ? iMetrics[kind] : 0;
}

MFont* CreateCachedFont(const char* path, int32_t pixelSize) {
  CCachedFreeTypeFont* font = new (std::nothrow) CCachedFreeTypeFont(path, pixelSize);
  if (font != nullptr && !font->IsLoaded()) {
    delete font;
    return nullptr;
  }
  return font;
}
