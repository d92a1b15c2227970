#include "gfx/bitmapped_font.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

void PaintMonoBitmap(MFrameBuffer& target, const uint8_t* bits, uint32_t width, uint32_t rows, uint32_t pitch,
                     int64_t x, int64_t y, Color color) {
  if (bits == nullptr) return;
  // The target is read once and the glyph clipped to it once: text is most
  // of what a screen redraw paints, pixel by pixel. Each pixel is stored as
  // PaintPixel stores it, at its column-layout offset.
  // The offsets come from the target's own, so a view into a larger grid
  // (a box of the screen) paints in that grid's memory.
  uint8_t* buffer = target.GetBuffer();
  const int64_t targetWidth = target.GetWidth(), targetHeight = target.GetHeight();
  const int64_t bytesPerPixel = target.GetBitsPerPixel() >> 3;
  if (buffer == nullptr) return;
  const int64_t origin = target.GetPixelOffset(0, 0);
  const int64_t column = int64_t{target.GetPixelOffset(1, 0)} - origin;
  const int64_t i0 = y < 0 ? -y : 0, j0 = x < 0 ? -x : 0;
  const int64_t i1 = std::min<int64_t>(rows, targetHeight - y), j1 = std::min<int64_t>(width, targetWidth - x);
  for (int64_t i = i0; i < i1; ++i) {
    const uint8_t* row = bits + static_cast<size_t>(pitch) * static_cast<size_t>(i);
    const int64_t rowOffset = origin - (y + i) * bytesPerPixel;
    for (int64_t j = j0; j < j1; ++j) {
      if ((row[j / 8] & (0x80u >> (j % 8))) == 0) continue;
      std::memcpy(buffer + rowOffset + (x + j) * column, &color, sizeof color);
    }
  }
}

CBitmappedFont::CBitmappedFont(uint32_t defaultAdvance) { iDefault.advance = defaultAdvance; }

CBitmappedFont::~CBitmappedFont() {
  for (uint32_t i = 0; i < kSlotCount; ++i) delete[] iSlots[i].bits;
  delete[] iDefault.bits;
  delete[] iMissingCodes;
}

void CBitmappedFont::ResetDefaultGlyph(uint32_t advance) {
  delete[] iDefault.bits;
  iDefault = Glyph();
  iDefault.advance = advance;
}

bool CBitmappedFont::AddGlyph(uint32_t code, uint32_t width, uint32_t rows, uint32_t pitch, uint32_t advance,
                              int32_t height, int32_t left, int32_t top, const uint8_t* bits) {
  const uint32_t index = GetSlotIndex(code);
  FreeSlot(index);
  Glyph& g = MutableSlot(index);
  // A row must hold its width in bits, or painting would read past it.
  if (bits != nullptr && rows != 0 && static_cast<uint64_t>(pitch) * 8 < width) return false;
  const uint64_t bytes = static_cast<uint64_t>(rows) * pitch;
  if (bytes > SIZE_MAX) return false;
  uint8_t* copy = nullptr;
  const size_t size = static_cast<size_t>(bytes);
  if (bits != nullptr && size != 0) {
    copy = new (std::nothrow) uint8_t[size];
    if (copy == nullptr) return false;
    std::memcpy(copy, bits, size);
  }
  g.code = code;
  g.width = width;
  g.rows = rows;
  g.pitch = pitch;
  g.advance = advance;
  g.height = height < 0 ? 1u : static_cast<uint32_t>(height);
  g.left = left;
  g.top = top;
  g.bits = copy;
  return true;
}

uint32_t CBitmappedFont::GetSlotIndex(uint32_t code) {
  return code < kByteCodes ? code : kByteCodes + code % kWideSlots;
}

bool CBitmappedFont::FreeSlot(uint32_t index) {
  Glyph& g = MutableSlot(index);
  delete[] g.bits;
  // Every field goes: an empty slot answers code 0 and must not measure as
  // the glyph it once held.
  g = Glyph();
  return true;
}

bool CBitmappedFont::IsMissing(uint32_t code) const {
  for (uint32_t i = 0; i < iMissingCount; ++i)
    if (iMissingCodes[i] == code) return true;
  return false;
}

void CBitmappedFont::AddMissing(uint32_t code) {
  if (iMissingCount == iMissingCapacity) {
    if (iMissingCapacity >= kMaxMissingCodes) return;
    const uint32_t capacity = iMissingCapacity == 0 ? 16 : iMissingCapacity * 2;
    uint32_t* grown = new (std::nothrow) uint32_t[capacity];
    if (grown == nullptr) return;
    if (iMissingCount != 0) std::memcpy(grown, iMissingCodes, iMissingCount * sizeof(uint32_t));
    delete[] iMissingCodes;
    iMissingCodes = grown;
    iMissingCapacity = capacity;
  }
  iMissingCodes[iMissingCount++] = code;
}

const Glyph& CBitmappedFont::FindGlyph(uint32_t code) {
  if (IsMissing(code)) return iDefault;
  const uint32_t index = GetSlotIndex(code) % kSlotCount;
  Glyph& slot = MutableSlot(index);
  if (slot.code == code) {
    OnGlyphHit(code, index);
    return slot;
  }
  if (LoadGlyph(code, index)) return slot;
  AddMissing(code);
  return iDefault;
}

void CBitmappedFont::OnGlyphHit(uint32_t, uint32_t) {}

uint32_t CBitmappedFont::GetCharHeight(uint32_t code) { return FindGlyph(code).height; }
uint32_t CBitmappedFont::GetCharWidth(uint32_t code) { return FindGlyph(code).advance; }

template <typename Text> uint32_t CBitmappedFont::TextWidth(Text text) {
  uint32_t width = 0;
  if (text == nullptr) return 0;
  for (uint32_t i = 0; font_text::CodeAt(text, i) != 0; ++i) width += GetCharWidth(font_text::CodeAt(text, i));
  return width;
}

uint32_t CBitmappedFont::GetTextHeight(const char* text) { return font_text::TallestChar(*this, text); }
uint32_t CBitmappedFont::GetTextHeight(WideText text) { return font_text::TallestChar(*this, text); }
uint32_t CBitmappedFont::GetTextWidth(const char* text) { return TextWidth(text); }
uint32_t CBitmappedFont::GetTextWidth(WideText text) { return TextWidth(text); }

bool CBitmappedFont::DrawChar(MFrameBuffer& target, uint32_t code, uint32_t x, uint32_t y, Color color) {
  const Glyph& g = FindGlyph(code);
  if (g.code == 0 || g.bits == nullptr) return true;
  PaintMonoBitmap(target, g.bits, g.width, g.rows, g.pitch, static_cast<int64_t>(x) + g.left,
                  static_cast<int64_t>(y) - g.top, color);
  return true;
}

template <typename Text>
bool CBitmappedFont::PaintText(MFrameBuffer& target, Text text, uint32_t x, uint32_t y, Color color) {
  if (text == nullptr) return true;
  const uint32_t baseline = y + font_text::TallestChar(*this, text);
  const uint32_t width = target.GetWidth();
  bool ok = true;
  uint64_t pen = x;  // wide enough that advancing never wraps back on screen
  for (uint32_t i = 0; font_text::CodeAt(text, i) != 0 && pen < width; ++i) {
    const uint32_t code = font_text::CodeAt(text, i);
    ok = DrawChar(target, code, static_cast<uint32_t>(pen), baseline, color) && ok;
    pen += GetCharWidth(code);
  }
  return ok;
}

bool CBitmappedFont::DrawText(MFrameBuffer& target, const char* text, uint32_t x, uint32_t y, Color color) {
  return PaintText(target, text, x, y, color);
}
bool CBitmappedFont::DrawText(MFrameBuffer& target, WideText text, uint32_t x, uint32_t y, Color color) {
  return PaintText(target, text, x, y, color);
}
