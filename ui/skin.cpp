#include "ui/skin.h"

#include <algorithm>
#include <cstdarg>
#include <cstring>
#include <memory>
#include <new>

#include "gfx/cached_free_type_font.h"
#include "gfx/courier_font.h"
#include "sysutil/bounded_string.h"
#include "sysutil/file_stream.h"
#include "sysutil/format.h"
#include "sysutil/regular_file.h"
#include "ui/default_images.h"

namespace {

constexpr const char* kSkinSubfolder = "skin";
constexpr const char* kFallbackFace = "Arial";
// The fixed font is drawn at scale 2 up to this size, at scale 3 above.
constexpr int32_t kLargestScaleTwoSize = 20;

// The files of pictures 0-15.
constexpr const char* kImageNames[CDefaultSkin::kImageCount] = {
    "Back",        "CheckOn",      "CheckOff",      "CheckOnDis",   "CheckOffDis",   "RadioOn",
    "RadioOff",    "RadioOnDis",   "RadioOffDis",   "SliderHor",    "SliderHorDis",  "SliderVer",
    "SliderVerDis", "BlueLabirinth", "RedLabirinth", "GreenLabirinth"};
// Pictures from this number on are loaded on each request, not with the skin.
constexpr int32_t kFirstFreshImage = 13;

// How each of pictures 0-12 is loaded, in load order: the disabled pictures
// fall back to their enabled picture, so those are loaded first.
constexpr int32_t kOwnFallback = -1;  // the built-in picture, transparent
constexpr int32_t kOpaque = -2;       // no fallback, no transparent colour
constexpr struct {
  int32_t number;
  int32_t fallback;  // a picture number, or kOwnFallback or kOpaque
} kLoadOrder[] = {
    {0, kOpaque}, {1, kOwnFallback}, {2, kOwnFallback}, {5, kOwnFallback}, {6, kOwnFallback},
    {3, 1},       {4, 2},            {7, 5},            {8, 6},            {9, kOwnFallback},
    {10, 9},      {11, kOwnFallback}, {12, 11}};

// Formats a path; false when it does not fit: a cut path names another file.
// A path that fills the buffer may have been cut, so it counts as cut.
__attribute__((format(printf, 2, 3))) bool FormatPath(CPathBuffer& path, const char* format, ...) {
  va_list values;
  va_start(values, format);
  const int32_t length = VFormatString(path, format, values);
  va_end(values);
  return length < path.Capacity() - 1;
}

// A ".." step would leave the skin folder.
bool HasParentStep(const char* face) {
  for (const char* step = face; step != nullptr;) {
    const char* slash = std::strchr(step, PathSeparator());
    const size_t length = slash != nullptr ? static_cast<size_t>(slash - step) : std::strlen(step);
    if (length == 2 && step[0] == '.' && step[1] == '.') return true;
    step = slash != nullptr ? slash + 1 : nullptr;
  }
  return false;
}

// The separators of scanf's words and numbers.
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// One line of a description file as far as it is kept: the start of a longer
// line, without a word cut at its end (a cut word names another face, a cut
// number is another size).
struct CDescriptionLine {
  static constexpr int32_t kSize = CDefaultSkin::kLineKeptBytes + 1;  // and the NUL
  char text[kSize];
  int32_t length = 0;
  int32_t position = 0;

  // The next word: its start and length; false when the line holds no more.
  bool NextWord(const char** word, int32_t* wordLength) {
    while (position < length && IsSpace(text[position])) ++position;
    const int32_t start = position;
    while (position < length && !IsSpace(text[position])) ++position;
    *word = text + start;
    *wordLength = position - start;
    return position > start;
  }
  // The next number: blanks, a sign, digits (saturated to 32 bits); false,
  // and nothing used, when no digit follows.
  bool NextInteger(int32_t* value) {
    while (position < length && IsSpace(text[position])) ++position;
    int32_t digit = position;
    if (digit < length && (text[digit] == '-' || text[digit] == '+')) ++digit;
    if (digit >= length || text[digit] < '0' || text[digit] > '9') return false;
    const int32_t rest = length - position;
    int32_t used = 0;
    *value = CBoundedString(text + position, rest, rest).ParseInteger(&used);
    position += used;
    return true;
  }
};

// Reads a description file line by line. A line longer than the kept part
// is read on to its line feed, so its rest is never taken as the next line;
// after kMaxLineBytes without one the reader gives up on later lines.
class CDescriptionReader {
 public:
  explicit CDescriptionReader(CFileStream& stream) : iStream(stream) {}

  bool Next(CDescriptionLine& line) {
    line.length = 0;
    line.position = 0;
    if (iLost) return false;
    const int32_t n = iStream.ReadLine(line.text, CDescriptionLine::kSize);
    if (n < 0) return false;
    line.length = n;
    if (line.text[n - 1] == '\n' || n < CDescriptionLine::kSize - 1) return true;
    while (line.length > 0 && !IsSpace(line.text[line.length - 1])) --line.length;
    for (int32_t total = n; total < CDefaultSkin::kMaxLineBytes;) {
      char rest[CDescriptionLine::kSize];
      const int32_t room = std::min(CDescriptionLine::kSize, CDefaultSkin::kMaxLineBytes - total + 1);
      const int32_t m = iStream.ReadLine(rest, room);
      if (m < 0) return true;  // the end of the file ends the line
      total += m;
      if (rest[m - 1] == '\n') return true;
    }
    iLost = true;
    return true;
  }

 private:
  CFileStream& iStream;
  bool iLost = false;
};

// A colour channel of a description: numbers outside 0-255 are clamped, so a
// stray value gives the nearest colour rather than one masked out of its bits.
int32_t Channel(int32_t value) { return std::clamp(value, 0, 255); }

struct CFontDescription {
  TBoundedBuffer<CDescriptionLine::kSize> face;
  bool faceUsable = true;  // false for a word that no face name can be (it holds a NUL)
  int32_t size = 0;
};

// Reads <folder>/skin/<name>Font.txt; false when it cannot be opened (the
// stream opens only regular files, whose open cannot block). With readColor the second line
// sets the dark colour, missing numbers 0.
bool ReadDescription(const char* folder, const char* name, bool readColor, CFontDescription& out) {
  CPathBuffer path;
  CFileStream stream;
  if (!FormatPath(path, "%s/%s/%s%s.%s", folder, kSkinSubfolder, name, "Font", "txt") ||
      stream.OpenRead(path, nullptr) != 0)
    return false;
  CDescriptionReader reader(stream);
  CDescriptionLine line;
  const char* word = nullptr;
  int32_t wordLength = 0;
  if (reader.Next(line) && line.NextWord(&word, &wordLength)) {
    out.face.Set(word, wordLength);
    out.faceUsable = std::memchr(word, 0, static_cast<size_t>(wordLength)) == nullptr;
    line.NextInteger(&out.size);  // stays 0 when missing
  }
  if (readColor) {
    int32_t rgb[3] = {0, 0, 0};
    if (reader.Next(line))
      for (int32_t& channel : rgb)
        if (!line.NextInteger(&channel)) break;
    const int32_t red = Channel(rgb[0]), green = Channel(rgb[1]), blue = Channel(rgb[2]);
    SetDarkColor(static_cast<Color>(((red & 0xF8) << 8) | ((green & 0xFC) << 3) | ((blue & 0xF8) >> 3)));
  }
  return true;
}

MImage* BuiltInPicture(int32_t number) {
  switch (number) {
    case 1: return new (std::nothrow) CDefaultCheckOn;
    case 5: return new (std::nothrow) CDefaultRadioOn;
    case 2:
    case 6:
    case 9:
    case 11: return new (std::nothrow) CDefaultImage;
    default: return nullptr;
  }
}

// Copies at most kFolderCapacity - 1 characters of a folder.
void CopyFolder(char* to, const char* from) {
  CBoundedString(to, 0, CDefaultSkin::kFolderCapacity).Set(from != nullptr ? from : "");
}

char gSkinFolder[CDefaultSkin::kFolderCapacity] = "./";
// Destroyed at exit; the fonts it holds release FreeType through a manager
// that is never destroyed, so the order of exit steps does not matter.
std::unique_ptr<CDefaultSkin> gSkin;

}  // namespace

CDefaultSkin::CDefaultSkin(const char* folder) {
  CopyFolder(iFolder, folder);
  iControl.font = LoadFont(iFolder, "Control", 16, true, &iControl.builtIn);
  iButton.font = LoadFont(iFolder, "Button", 20, false, &iButton.builtIn);
  iBig.font = LoadFont(iFolder, "Big", 24, false, &iBig.builtIn);
  for (const auto& step : kLoadOrder) {
    const char* name = kImageNames[step.number];
    MImage*& image = iImages[step.number];
    if (step.fallback == kOpaque)
      image = LoadBitmap(iFolder, name, nullptr, false);
    else if (step.fallback == kOwnFallback)
      image = LoadImage(iFolder, name, step.number);
    else
      image = LoadBitmap(iFolder, name, iImages[step.fallback], true);
  }
}

CDefaultSkin::~CDefaultSkin() {
  for (Font* font : {&iControl, &iButton, &iBig})
    if (!font->builtIn) delete font->font;
  // A disabled picture may be its enabled picture: destroy each object once.
  for (int32_t i = 0; i < kImageCount; ++i) {
    if (iImages[i] == nullptr) continue;
    for (int32_t j = i + 1; j < kImageCount; ++j)
      if (iImages[j] == iImages[i]) iImages[j] = nullptr;
    delete iImages[i];
    iImages[i] = nullptr;
  }
}

MColorScheme* CDefaultSkin::GetColors() { return GetColorSchemeManager()->GetSchemeObject(iScheme); }

CDefaultSkin::Font* CDefaultSkin::FontOf(int32_t number) {
  switch (number) {
    case 0: return &iControl;
    case 1:
    case 2:
    case 3: return &iButton;
    case 4: return &iBig;
    default: return nullptr;
  }
}

MFont* CDefaultSkin::GetFont(int32_t number) {
  Font* font = FontOf(number);
  return font != nullptr ? font->font : nullptr;
}

bool CDefaultSkin::IsBuiltInFont(int32_t number) {
  Font* font = FontOf(number);
  return font != nullptr && font->builtIn;
}

MImage* CDefaultSkin::GetImage(int32_t number) {
  if (number >= kFirstFreshImage && number < kImageCount) return LoadBitmap(iFolder, kImageNames[number], nullptr, false);
  if (number >= 0 && number < kFirstFreshImage) return iImages[number];
  return nullptr;
}

MFont* CDefaultSkin::LoadFont(const char* folder, const char* name, int32_t defaultSize, bool readColor,
                              bool* builtIn) {
  CFontDescription description;
  if (!ReadDescription(folder, name, readColor, description)) description.face.Set(kFallbackFace);
  int32_t size = defaultSize;
  if (description.face.Length() > 0 && description.size >= 1 && description.size <= kMaxFontSize)
    size = description.size;
  bool fixed = true;
  MFont* font = description.faceUsable ? LoadFace(folder, description.face.CStr(), size, &fixed) : nullptr;
  if (font == nullptr || fixed) font = LoadFace(folder, kFallbackFace, size, &fixed);
  *builtIn = fixed;
  return font;
}

MFont* CDefaultSkin::LoadFace(const char* folder, const char* face, int32_t size, bool* builtIn) {
  CPathBuffer path;
  MFont* font = nullptr;
  // The font opens only a regular file: a FIFO or device node would block.
  if (face != nullptr && !HasParentStep(face) && FormatPath(path, "%s/%s/%s.%s", folder, kSkinSubfolder, face, "ttf"))
    font = CreateCachedFont(path.CStr(), size);
  *builtIn = font == nullptr;
  if (font == nullptr) font = GetFixedFont(size <= kLargestScaleTwoSize ? 2 : 3);
  return font;
}

MImage* CDefaultSkin::LoadImage(const char* folder, const char* name, int32_t number) {
  MImage* fallback = BuiltInPicture(number);
  MImage* image = LoadBitmap(folder, name, fallback, true);
  if (image != fallback) delete fallback;
  return image;
}

MImage* CDefaultSkin::LoadBitmap(const char* folder, const char* name, MImage* fallback, bool transparent) {
  CPathBuffer path;
  if (!FormatPath(path, "%s/%s/%s.%s", folder, kSkinSubfolder, name, "bmp")) return fallback;
  const int fd = OpenRegularFile(path.CStr());
  if (fd == kNotRegularFile) return nullptr;
  if (fd < 0) return fallback;
  return transparent ? LoadBmpImage(fd, 255, 0, 0) : LoadBmpImage(fd, -1, 0, 0);
}

void SetSkinFolder(const char* path) {
  CopyFolder(gSkinFolder, path);
  gSkin.reset();
}

const char* GetSkinFolder() { return gSkinFolder; }

MUISkin* GetSkin() {
  if (gSkin == nullptr) gSkin.reset(new (std::nothrow) CDefaultSkin(gSkinFolder));
  return gSkin.get();
}

void ResetSkinForTesting() {
  gSkin.reset();
  CopyFolder(gSkinFolder, "./");
  SetDarkColor(colorBlack);
}
