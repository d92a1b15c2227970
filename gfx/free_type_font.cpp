#include "gfx/free_type_font.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

#include "gfx/bitmapped_font.h"
#include "sysutil/regular_file.h"

namespace {
// 26.6 fixed point to whole pixels, rounding towards minus infinity.
int32_t Pixels(FT_Pos v) { return static_cast<int32_t>(v >> 6); }

// FreeType's read of the face file: count bytes at offset, or with count 0 a
// seek, which fails (non-zero) beyond the end. A short result (a file cut
// since it was opened) is a read error to FreeType, never a crash.
unsigned long ReadFace(FT_Stream stream, unsigned long offset, unsigned char* buffer, unsigned long count) {
  if (count == 0) return offset > stream->size ? 1 : 0;
  const int fd = static_cast<int>(stream->descriptor.value);
  unsigned long got = 0;
  while (got < count) {
    const ssize_t n = pread(fd, buffer + got, count - got, static_cast<off_t>(offset + got));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<unsigned long>(n);
  }
  return got;
}

// The stream is the font's; FT_Done_Face must not free it.
void KeepStream(FT_Stream) {}
}  // namespace

CFreeTypeManager::~CFreeTypeManager() {
  if (iLibrary != nullptr) FT_Done_FreeType(iLibrary);
  iLibrary = nullptr;
}

FT_Library* CFreeTypeManager::AcquireLibrary() {
  if (iLibrary == nullptr && FT_Init_FreeType(&iLibrary) != 0) iLibrary = nullptr;
  if (iLibrary != nullptr) ++iUsers;
  return &iLibrary;
}

void CFreeTypeManager::ReleaseLibrary() {
  if (iLibrary == nullptr) return;
  if (iUsers-- == 1) {
    FT_Done_FreeType(iLibrary);
    iLibrary = nullptr;
  }
}

void CFreeTypeManager::ShutdownIfUnused() {
  if (iLibrary == nullptr || iUsers > 0) return;
  FT_Done_FreeType(iLibrary);
  iLibrary = nullptr;
}

CFreeTypeManager* GetFreeTypeManager() {
  // The manager object itself is never destroyed: fonts whose owner goes
  // later at exit (a skin kept by a holder made before the first font) still
  // release through it. At exit the library is shut down unless a font still
  // holds a face of it; then the last font's release shuts it down.
  static CFreeTypeManager* const manager = new CFreeTypeManager();
  static const struct ExitShutdown {
    ~ExitShutdown() { manager->ShutdownIfUnused(); }
  } exitShutdown;
  return manager;
}

CFreeTypeFont::CFreeTypeFont(const char* path, int32_t pixelSize, bool kerningWanted)
    : iLibrary(GetFreeTypeManager()->AcquireLibrary()), iAcquired(*iLibrary != nullptr), iKerning(kerningWanted) {
  if (!iAcquired || path == nullptr || pixelSize < 1 || pixelSize > kMaxPixelSize) {
    iKerning = false;
    return;
  }
  if (!OpenFace(path)) {
    iKerning = false;
    return;
  }
  FT_Set_Char_Size(iFace, 0, static_cast<FT_F26Dot6>(pixelSize) * 64, 0, 0);
  // A face without scalable size metrics cannot be measured.
  iLoaded = iFace->size != nullptr;
  if (iKerning && !FT_HAS_KERNING(iFace)) iKerning = false;
}

bool CFreeTypeFont::OpenFace(const char* path) {
  iFd = OpenRegularFile(path);
  struct stat st;
  if (iFd < 0 || fstat(iFd, &st) != 0 || st.st_size <= 0 ||
      static_cast<unsigned long long>(st.st_size) > ULONG_MAX) {
    if (iFd >= 0) close(iFd);
    iFd = -1;
    return false;
  }
  iStream.descriptor.value = iFd;
  iStream.size = static_cast<unsigned long>(st.st_size);
  iStream.read = ReadFace;
  iStream.close = KeepStream;
  FT_Open_Args args = {};
  args.flags = FT_OPEN_STREAM;
  args.stream = &iStream;
  if (FT_Open_Face(*iLibrary, &args, 0, &iFace) == 0 && iFace != nullptr) return true;
  iFace = nullptr;
  close(iFd);
  iFd = -1;
  return false;
}

CFreeTypeFont::~CFreeTypeFont() {
  if (iFace != nullptr) FT_Done_Face(iFace);
  if (iFd >= 0) close(iFd);
  if (iAcquired) GetFreeTypeManager()->ReleaseLibrary();
}

uint32_t CFreeTypeFont::PenAdvance(FT_UInt previous, FT_UInt glyph) {
  int64_t k = 0;
  if (iKerning && previous != 0 && glyph != 0) {
    FT_Vector delta;
    if (FT_Get_Kerning(iFace, previous, glyph, FT_KERNING_DEFAULT, &delta) == 0) k = Pixels(delta.x);
  }
  if (FT_Load_Glyph(iFace, glyph, kLoadFlags) == 0) return static_cast<uint32_t>(k + Pixels(iFace->glyph->advance.x));
  return static_cast<uint32_t>(k + GetMetric(kMaxAdvance));
}

uint32_t CFreeTypeFont::GetCharHeight(uint32_t code) {
  if (!iLoaded) return 0;
  const FT_Error error = FT_Load_Glyph(iFace, FT_Get_Char_Index(iFace, code), kLoadFlags);
  const uint32_t rows = iFace->glyph->bitmap.rows;
  if (error != 0) return rows;
  const int32_t top = iFace->glyph->bitmap_top;
  return top >= 0 && static_cast<uint32_t>(top) < rows ? static_cast<uint32_t>(top) : rows;
}

uint32_t CFreeTypeFont::GetCharWidth(uint32_t code) {
  if (!iLoaded) return 0;
  return PenAdvance(0, FT_Get_Char_Index(iFace, code));
}

template <typename Text> uint32_t CFreeTypeFont::TextWidth(Text text) {
  if (text == nullptr || !iLoaded) return 0;
  uint32_t width = 0;
  FT_UInt previous = 0;
  for (uint32_t i = 0; font_text::CodeAt(text, i) != 0; ++i) {
    const FT_UInt glyph = FT_Get_Char_Index(iFace, font_text::CodeAt(text, i));
    width += PenAdvance(previous, glyph);
    previous = glyph;
  }
  return width;
}

uint32_t CFreeTypeFont::GetTextHeight(const char* text) { return font_text::TallestChar(*this, text); }
uint32_t CFreeTypeFont::GetTextHeight(WideText text) { return font_text::TallestChar(*this, text); }
uint32_t CFreeTypeFont::GetTextWidth(const char* text) { return TextWidth(text); }
uint32_t CFreeTypeFont::GetTextWidth(WideText text) { return TextWidth(text); }

bool CFreeTypeFont::RenderChar(uint32_t code, MonoBitmap& out) {
  out = MonoBitmap();
  if (!iLoaded || FT_Load_Char(iFace, code, kLoadFlags) != 0) return false;
  const FT_GlyphSlot slot = iFace->glyph;
  const FT_Bitmap& bitmap = slot->bitmap;
  out.left = slot->bitmap_left;
  out.top = slot->bitmap_top;
  if (bitmap.buffer == nullptr) return true;
  // Only a top-down one-bit bitmap whose rows hold their width can be read
  // as such; anything else (a colour or grey strike) is refused.
  if (bitmap.pixel_mode != FT_PIXEL_MODE_MONO || bitmap.pitch < 0 ||
      static_cast<uint64_t>(bitmap.pitch) * 8 < bitmap.width)
    return false;
  // Some library versions give a blank glyph such as the space a one-pixel
  // bitmap with no bit set; it is as empty as no bitmap at all.
  bool blank = true;
  for (uint32_t i = 0; i < bitmap.rows && blank; ++i)
    for (uint32_t j = 0; j < bitmap.width && blank; ++j)
      if (bitmap.buffer[static_cast<size_t>(bitmap.pitch) * i + j / 8] & (0x80u >> (j % 8))) blank = false;
  if (blank) return true;
  out.width = bitmap.width;
  out.rows = bitmap.rows;
  out.pitch = static_cast<uint32_t>(bitmap.pitch);
  out.buffer = bitmap.buffer;
  return true;
}

bool CFreeTypeFont::DrawChar(MFrameBuffer& target, uint32_t code, uint32_t x, uint32_t y, Color color) {
  MonoBitmap bitmap;
  if (!RenderChar(code, bitmap)) return false;
  PaintMonoBitmap(target, bitmap.buffer, bitmap.width, bitmap.rows, bitmap.pitch,
                  static_cast<int64_t>(x) + bitmap.left, static_cast<int64_t>(y) - bitmap.top, color);
  return true;
}

template <typename Text>
bool CFreeTypeFont::PaintText(MFrameBuffer& target, Text text, uint32_t x, uint32_t y, Color color) {
  if (text == nullptr) return true;
  if (!iLoaded) return false;
  const uint32_t baseline = y + font_text::TallestChar(*this, text);
  const uint32_t width = target.GetWidth();
  bool ok = true;
  uint64_t pen = x;
  FT_UInt previous = 0;
  for (uint32_t i = 0; font_text::CodeAt(text, i) != 0 && pen < width; ++i) {
    const uint32_t code = font_text::CodeAt(text, i);
    ok = DrawChar(target, code, static_cast<uint32_t>(pen), baseline, color) && ok;
    const FT_UInt glyph = FT_Get_Char_Index(iFace, code);
    // Kerning may pull the pen back; a pen pulled left of the target ends the
    // text like any pen beyond its width.
    const int64_t next = static_cast<int64_t>(pen) + static_cast<int32_t>(PenAdvance(previous, glyph));
    if (next < 0) break;
    pen = static_cast<uint64_t>(next);
    previous = glyph;
  }
  return ok;
}

bool CFreeTypeFont::DrawText(MFrameBuffer& target, const char* text, uint32_t x, uint32_t y, Color color) {
  return PaintText(target, text, x, y, color);
}
bool CFreeTypeFont::DrawText(MFrameBuffer& target, WideText text, uint32_t x, uint32_t y, Color color) {
  return PaintText(target, text, x, y, color);
}

int32_t CFreeTypeFont::GetMetric(int32_t kind) {
  if (!iLoaded) return 0;
  const FT_Size_Metrics& m = iFace->size->metrics;
  switch (kind) {
    case kLineHeight: return Pixels(FT_MulFix(iFace->height, m.y_scale));
    case kMaxAdvance: return Pixels(FT_MulFix(iFace->max_advance_width, m.x_scale));
    case kAscender: return Pixels(FT_MulFix(iFace->ascender, m.y_scale));
    case kDescender: return Pixels(FT_MulFix(iFace->descender, m.y_scale));
    default: return 0;
  }
}
