#pragma once
// The skin: the current colour scheme number, three fonts and sixteen
// numbered pictures, loaded once from the "skin" folder below the skin
// folder. Anything missing falls back to a built-in font or picture, so the
// toolkit runs with an empty or absent skin folder.

#include <cstdint>

#include "gfx/color_scheme.h"
#include "gfx/font.h"
#include "gfx/image.h"

class MUISkin {
 public:
  virtual ~MUISkin() = default;
  // The scheme object of the current scheme number.
  virtual MColorScheme* GetColors() = 0;
  // 0 the control font; 1, 2 and 3 the button font; 4 the big font; null otherwise.
  virtual MFont* GetFont(int32_t number) = 0;
  // 0-12: the skin's own picture (never destroyed by the caller), maybe null.
  // 13-15: loaded afresh on each call, owned by the caller, null when missing.
  virtual MImage* GetImage(int32_t number) = 0;
  virtual void SetColorScheme(int32_t number) = 0;
  virtual int32_t GetColorScheme() = 0;
};

class CDefaultSkin : public MUISkin {
 public:
  static constexpr int32_t kImageCount = 16;
  static constexpr int32_t kInitialScheme = 2;
  // The skin folder's buffer, its NUL included.
  static constexpr int32_t kFolderCapacity = 100;
  // Pixel sizes a description may ask for: no glyph taller than the 240-pixel
  // screen can be shown. Any other size keeps the font's default.
  static constexpr int32_t kMaxFontSize = 240;
  // Bytes of a description line that are kept: room for a face as long as a
  // path. A word cut at their end is dropped, as it would name another face.
  static constexpr int32_t kLineKeptBytes = 256;
  // Bytes of a description's first line that are read to find its end; past
  // them the colour line counts as missing, so a huge file without line
  // feeds is not read to its end.
  static constexpr int32_t kMaxLineBytes = 16384;

  // Loads the fonts and pictures 0-12 from <folder>/skin/.
  explicit CDefaultSkin(const char* folder);
  ~CDefaultSkin() override;
  CDefaultSkin(const CDefaultSkin&) = delete;
  CDefaultSkin& operator=(const CDefaultSkin&) = delete;

  MColorScheme* GetColors() override;
  MFont* GetFont(int32_t number) override;
  MImage* GetImage(int32_t number) override;
  void SetColorScheme(int32_t number) override { iScheme = number; }
  int32_t GetColorScheme() override { return iScheme; }

  // The font of a description file <folder>/skin/<name>Font.txt: its first
  // line names a face and a pixel size ("DejaVuSans 18"); with readColor its
  // second line holds red, green and blue, which become the dark colour of
  // every scheme. A missing, refused or fixed-font face falls back to
  // "Arial"; without a file the face is "Arial" at the default size.
  // builtIn tells whether the result is the shared fixed font.
  static MFont* LoadFont(const char* folder, const char* name, int32_t defaultSize, bool readColor, bool* builtIn);
  // <folder>/skin/<face>.ttf at the size, else the fixed font (scale 2 up to
  // size 20, 3 above), which sets builtIn. A face with a ".." step, a path
  // that does not fit, or one that is no regular file count as missing.
  static MFont* LoadFace(const char* folder, const char* face, int32_t size, bool* builtIn);
  // <folder>/skin/<name>.bmp with pure red transparent, falling back to the
  // built-in picture of the number; the caller owns the result.
  static MImage* LoadImage(const char* folder, const char* name, int32_t number);
  // <folder>/skin/<name>.bmp: the fallback when the file cannot be opened,
  // null when it opens but does not decode (also when it is no regular file).
  static MImage* LoadBitmap(const char* folder, const char* name, MImage* fallback, bool transparent);

  bool IsBuiltInFont(int32_t number);

 private:
  struct Font {
    MFont* font = nullptr;
    bool builtIn = true;
  };
  Font* FontOf(int32_t number);

  int32_t iScheme = kInitialScheme;
  Font iControl;
  Font iButton;
  Font iBig;
  MImage* iImages[kImageCount] = {};
  char iFolder[kFolderCapacity] = {};
};

// The folder that holds "skin": at most 99 characters are kept. Destroys the
// current skin, so the next GetSkin loads from the new folder.
void SetSkinFolder(const char* path);
const char* GetSkinFolder();
// The process-wide skin, made from the skin folder on first use.
MUISkin* GetSkin();

// Destroys the skin, puts the skin folder back to "./" and the dark colour
// back to black: the state at process start.
void ResetSkinForTesting();
