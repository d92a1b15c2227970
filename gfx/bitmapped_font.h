#pragma once
// CBitmappedFont: a font that paints one-bit glyph bitmaps from a glyph table:
// one slot of its own for each byte code 0-255, so a byte string's glyphs are
// never evicted, and a small direct-mapped cache beside it for larger codes.
// Subclasses produce glyphs through LoadGlyph; a code that once failed to load
// joins the missing codes and is measured and painted as the default glyph
// from then on.

#include <cstdint>

#include "gfx/font.h"

struct Glyph {
  uint32_t code = 0;     // 0 marks an empty slot
  uint32_t width = 0;    // bitmap width in pixels
  uint32_t rows = 0;     // bitmap height in pixels
  uint32_t pitch = 0;    // bytes per bitmap row
  uint32_t advance = 0;  // pen advance in pixels
  uint32_t height = 0;   // height above the baseline, never negative
  int32_t left = 0;      // pen position to the bitmap's left column
  int32_t top = 0;       // baseline up to the bitmap's top row
  uint8_t* bits = nullptr;  // owned, rows x pitch bytes, MSB = leftmost pixel
};

class CBitmappedFont : public MFont {
 public:
  // Codes below kByteCodes have the slot of their number.
  static constexpr uint32_t kByteCodes = 256;
  // Larger codes share these slots, code modulo kWideSlots.
  static constexpr uint32_t kWideSlots = 64;
  static constexpr uint32_t kSlotCount = kByteCodes + kWideSlots;
  // Failing codes remembered at most; beyond that a failing code is simply
  // tried again on its next use (same result, no unbounded growth).
  static constexpr uint32_t kMaxMissingCodes = 1024;

  explicit CBitmappedFont(uint32_t defaultAdvance);
  ~CBitmappedFont() override;
  CBitmappedFont(const CBitmappedFont&) = delete;
  CBitmappedFont& operator=(const CBitmappedFont&) = delete;

  uint32_t GetCharHeight(uint32_t code) override;
  uint32_t GetTextHeight(const char* text) override;
  uint32_t GetTextHeight(WideText text) override;
  uint32_t GetCharWidth(uint32_t code) override;
  uint32_t GetTextWidth(const char* text) override;
  uint32_t GetTextWidth(WideText text) override;
  bool DrawChar(MFrameBuffer& target, uint32_t code, uint32_t x, uint32_t y, Color color) override;
  bool DrawText(MFrameBuffer& target, const char* text, uint32_t x, uint32_t y, Color color) override;
  bool DrawText(MFrameBuffer& target, WideText text, uint32_t x, uint32_t y, Color color) override;

  // Stores a caller-supplied glyph in the code's slot, replacing what was there.
  // A negative height is stored as 1; bits (rows x pitch bytes) are copied when
  // given. False only when the copy cannot be allocated (the slot is then empty).
  virtual bool AddGlyph(uint32_t code, uint32_t width, uint32_t rows, uint32_t pitch, uint32_t advance,
                        int32_t height, int32_t left, int32_t top, const uint8_t* bits);
  virtual uint32_t GetSlotIndex(uint32_t code);
  virtual bool FreeSlot(uint32_t index);
  // Produces the code's glyph into slot `index`; true on success.
  virtual bool LoadGlyph(uint32_t code, uint32_t index) = 0;
  // The glyph to use for the code: a cached slot, a freshly loaded one, or the
  // default glyph.
  virtual const Glyph& FindGlyph(uint32_t code);
  virtual void OnGlyphHit(uint32_t code, uint32_t index);

  const Glyph& DefaultGlyph() const { return iDefault; }
  const Glyph& Slot(uint32_t index) const { return iSlots[index % kSlotCount]; }
  uint32_t MissingCount() const { return iMissingCount; }
  bool IsMissing(uint32_t code) const;

 protected:
  Glyph& MutableSlot(uint32_t index) { return iSlots[index % kSlotCount]; }
  // Resets the default glyph to an empty bitmap with the given advance.
  void ResetDefaultGlyph(uint32_t advance);

 private:
  void AddMissing(uint32_t code);
  template <typename Text> uint32_t TextWidth(Text text);
  template <typename Text> bool PaintText(MFrameBuffer& target, Text text, uint32_t x, uint32_t y, Color color);

  Glyph iSlots[kSlotCount];
  Glyph iDefault;
  uint32_t iMissingCount = 0;
  uint32_t iMissingCapacity = 0;
  uint32_t* iMissingCodes = nullptr;
};

// Paints the set bits of a one-bit bitmap with its top-left pixel at (x, y).
void PaintMonoBitmap(MFrameBuffer& target, const uint8_t* bits, uint32_t width, uint32_t rows, uint32_t pitch,
                     int64_t x, int64_t y, Color color);
