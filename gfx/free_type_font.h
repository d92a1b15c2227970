#pragma once
// CFreeTypeFont measures and paints straight from an outline font file,
// rendering every glyph as a one-bit bitmap; it keeps no cache of its own.
// The file is opened as a regular file only and FreeType reads it through the
// descriptor, so a FIFO or device node under the name never blocks the open.
// CFreeTypeManager owns the process's one FreeType library and counts its
// users, so the library lives exactly while at least one outline font is open.

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>

#include "gfx/font.h"

class CFreeTypeManager {
 public:
  CFreeTypeManager() = default;
  virtual ~CFreeTypeManager();
  CFreeTypeManager(const CFreeTypeManager&) = delete;
  CFreeTypeManager& operator=(const CFreeTypeManager&) = delete;

  // Starts the library if needed and counts one more user; returns where the
  // handle is stored. When the library cannot start the handle stays null and
  // no user is counted (such a caller must not release).
  FT_Library* AcquireLibrary();
  // One user fewer; the last one shuts the library down.
  void ReleaseLibrary();
  // The exit step of the process-wide manager: shuts the library down when no
  // font uses it any more (faces still open would be freed under their fonts).
  void ShutdownIfUnused();

  bool IsStarted() const { return iLibrary != nullptr; }
  int32_t Users() const { return iUsers; }

 private:
  FT_Library iLibrary = nullptr;
  int32_t iUsers = 0;
};

CFreeTypeManager* GetFreeTypeManager();

// A rendered one-bit bitmap as FreeType's glyph slot holds it; valid until the
// font's next glyph load.
struct MonoBitmap {
  uint32_t width = 0;
  uint32_t rows = 0;
  uint32_t pitch = 0;
  int32_t left = 0;
  int32_t top = 0;
  const uint8_t* buffer = nullptr;  // null for an empty glyph (no pixel set), such as the space
};

class CFreeTypeFont : public MFont {
 public:
  // The flags every glyph is loaded with: a rendered one-bit bitmap.
  static constexpr int32_t kLoadFlags = FT_LOAD_RENDER | FT_LOAD_TARGET_MONO;
  // Pixel sizes outside this range leave the font unloaded: larger glyphs
  // could never be shown and would cost memory out of proportion to the file.
  static constexpr int32_t kMaxPixelSize = 255;

  // Face 0 of the regular file at the path; IsLoaded tells whether it opened.
  CFreeTypeFont(const char* path, int32_t pixelSize, bool kerningWanted);
  ~CFreeTypeFont() override;
  CFreeTypeFont(const CFreeTypeFont&) = delete;
  CFreeTypeFont& operator=(const CFreeTypeFont&) = delete;

  // The face was opened and sized; the only sign of success a creator gets.
  bool IsLoaded() const { return iLoaded; }
  bool HasKerning() const { return iKerning; }

  uint32_t GetCharHeight(uint32_t code) override;
  uint32_t GetTextHeight(const char* text) override;
  uint32_t GetTextHeight(WideText text) override;
  uint32_t GetCharWidth(uint32_t code) override;
  uint32_t GetTextWidth(const char* text) override;
  uint32_t GetTextWidth(WideText text) override;
  bool DrawChar(MFrameBuffer& target, uint32_t code, uint32_t x, uint32_t y, Color color) override;
  bool DrawText(MFrameBuffer& target, const char* text, uint32_t x, uint32_t y, Color color) override;
  bool DrawText(MFrameBuffer& target, WideText text, uint32_t x, uint32_t y, Color color) override;
  int32_t GetMetric(int32_t kind) override;

  // Loads and renders the character; false when it cannot be loaded or the
  // result is not a one-bit bitmap.
  bool RenderChar(uint32_t code, MonoBitmap& out);

 private:
  uint32_t PenAdvance(FT_UInt previous, FT_UInt glyph);
  template <typename Text> uint32_t TextWidth(Text text);
  template <typename Text> bool PaintText(MFrameBuffer& target, Text text, uint32_t x, uint32_t y, Color color);

  bool OpenFace(const char* path);

  FT_Library* iLibrary;
  bool iAcquired;
  int iFd = -1;  // the file FreeType reads through iStream; owned
  FT_StreamRec iStream = {};
  FT_Face iFace = nullptr;
  bool iKerning;
  bool iLoaded = false;
};
