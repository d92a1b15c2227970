#include "gfx/cached_free_type_font.h"

#include <new>

namespace {
constexpr uint32_t kInitialDefaultAdvance = 8;
}

CCachedFreeTypeFont::CCachedFreeTypeFont(const char* path, int32_t pixelSize)
    : CBitmappedFont(kInitialDefaultAdvance), iPath(path != nullptr ? path : ""), iPixelSize(pixelSize) {}

CCachedFreeTypeFont::~CCachedFreeTypeFont() { delete iOutline; }

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

bool CCachedFreeTypeFont::LoadGlyph(uint32_t code, uint32_t index) {
  FreeSlot(index);
  if (!OpenOutline()) return false;
  // Measure first: measuring loads glyphs and would overwrite the rendered bitmap.
  const uint32_t advance = iOutline->GetCharWidth(code);
  const uint32_t height = iOutline->GetCharHeight(code);
  MonoBitmap bitmap;
  if (!iOutline->RenderChar(code, bitmap) || bitmap.buffer == nullptr) return false;
  if (!AddGlyph(code, bitmap.width, bitmap.rows, bitmap.pitch, advance,
                height > INT32_MAX ? -1 : static_cast<int32_t>(height), bitmap.left, bitmap.top, bitmap.buffer))
    return false;
  iHitCounter = 0;
  return true;
}

void CCachedFreeTypeFont::OnGlyphHit(uint32_t, uint32_t) {
  if (iOutline == nullptr) return;
  if (iHitCounter++ >= kHitsBeforeClose) {
    delete iOutline;
    iOutline = nullptr;
  }
}

int32_t CCachedFreeTypeFont::GetMetric(int32_t kind) { return OpenOutline() ? iOutline->GetMetric(kind) : 0; }

MFont* CreateCachedFont(const char* path, int32_t pixelSize) {
  CFreeTypeFont probe(path, pixelSize, true);
  if (!probe.IsLoaded()) return nullptr;
  return new (std::nothrow) CCachedFreeTypeFont(path, pixelSize);
}
