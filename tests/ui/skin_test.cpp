#include "ui/skin.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "device/memory_frame_buffer.h"
#include "gfx/cached_free_type_font.h"
#include "gfx/courier_font.h"
#include "sysutil/bounded_string.h"
#include "tests/gfx/bmp_fixture.h"
#include "tests/support/skin_folder.h"
#include "ui/default_images.h"

namespace {

const char* const kDejaVu = kDejaVuSansFile;
constexpr Color kUnsetDark = 0x5555;

// A skin folder in a fresh temporary folder: <tmp>/skin/.
class SkinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // An open that blocks on a FIFO ends the test program instead of hanging it.
    alarm(20);
    ResetSkinForTesting();
    ASSERT_EQ(0, access(kDejaVu, R_OK)) << kDejaVu << " (fonts-dejavu-core) is needed";
  }
  void TearDown() override {
    ResetSkinForTesting();
    alarm(0);
  }

  std::string SkinFile(const std::string& name) const { return folder.SkinPath() + "/" + name; }
  void Put(const std::string& name, const std::string& content) const { folder.Write(name, content); }
  // DejaVu Sans under another name.
  static void LinkFont(const std::string& path) { ASSERT_EQ(0, symlink(kDejaVu, path.c_str())) << path; }
  static void MakeFifo(const std::string& path) { ASSERT_EQ(0, mkfifo(path.c_str(), 0644)) << path; }
  std::unique_ptr<CDefaultSkin> Load() const { return std::make_unique<CDefaultSkin>(folder.Path().c_str()); }

  CSkinFolder folder;
};

// The font is the outline font of the file at the pixel size: the same
// metrics and widths as one made straight from the file.
::testing::AssertionResult IsOutlineAt(MFont* font, const std::string& path, int32_t size) {
  std::unique_ptr<MFont> reference(CreateCachedFont(path.c_str(), size));
  if (reference == nullptr) return ::testing::AssertionFailure() << "no reference font " << path;
  if (font == nullptr || dynamic_cast<CCourierFont*>(font) != nullptr)
    return ::testing::AssertionFailure() << "not an outline font";
  for (int32_t kind = MFont::kLineHeight; kind <= MFont::kDescender; ++kind)
    if (font->GetMetric(kind) != reference->GetMetric(kind))
      return ::testing::AssertionFailure() << "metric " << kind << ": " << font->GetMetric(kind) << " vs "
                                           << reference->GetMetric(kind) << " at size " << size;
  const char* sample = "Skin 0123 Wg";
  if (font->GetTextWidth(sample) != reference->GetTextWidth(sample))
    return ::testing::AssertionFailure() << "text width differs from size " << size;
  return ::testing::AssertionSuccess();
}

TEST_F(SkinTest, EmptyOrAbsentFolderGivesTheBuiltIns) {
  for (const std::string& place : {folder.Path(), folder.Path() + "/absent"}) {
    SCOPED_TRACE(place);
    SetDarkColor(kUnsetDark);
    CDefaultSkin skin(place.c_str());
    EXPECT_EQ(kUnsetDark, GetDarkColor()) << "no description, no colour";
    for (int32_t n : {0, 1, 2, 3}) EXPECT_EQ(GetFixedFont(2), skin.GetFont(n)) << n;
    EXPECT_EQ(GetFixedFont(3), skin.GetFont(4));
    EXPECT_EQ(nullptr, skin.GetFont(5));
    EXPECT_EQ(nullptr, skin.GetFont(-1));
    for (int32_t n : {0, 1, 4}) EXPECT_TRUE(skin.IsBuiltInFont(n)) << n;

    EXPECT_EQ(nullptr, skin.GetImage(0));
    // The disabled pictures are their enabled ones, destroyed once with the skin.
    const int32_t shared[][2] = {{3, 1}, {4, 2}, {7, 5}, {8, 6}, {10, 9}, {12, 11}};
    for (const auto& pair : shared) {
      ASSERT_NE(nullptr, skin.GetImage(pair[1])) << pair[1];
      EXPECT_EQ(skin.GetImage(pair[1]), skin.GetImage(pair[0])) << pair[0];
    }
    EXPECT_NE(skin.GetImage(2), skin.GetImage(6));
    for (int32_t n : {13, 14, 15, 16, -1}) EXPECT_EQ(nullptr, skin.GetImage(n)) << n;

    // The check box: a black-framed white square of 20 x 20 with a cross.
    CMemoryFrameBuffer fb(30, 30);
    fb.Fill(0x1234);
    ASSERT_TRUE(skin.GetImage(1)->DrawImage(fb, 2, 2));
    EXPECT_EQ(20u, skin.GetImage(1)->GetImageWidth());
    const int32_t frameAndCross[][2] = {{2, 2}, {22, 2}, {2, 22}, {22, 22}, {12, 2}, {2, 12}, {7, 7}, {17, 17}, {17, 7}};
    for (const auto& p : frameAndCross) EXPECT_EQ(colorBlack, fb.PixelAt(p[0], p[1])) << p[0] << "," << p[1];
    const int32_t inside[][2] = {{12, 4}, {4, 12}, {20, 12}};
    for (const auto& p : inside) EXPECT_EQ(colorWhite, fb.PixelAt(p[0], p[1])) << p[0] << "," << p[1];
    EXPECT_EQ(0x1234, fb.PixelAt(23, 23));
    ASSERT_TRUE(skin.GetImage(2)->DrawImage(fb, 2, 2));
    EXPECT_EQ(colorWhite, fb.PixelAt(12, 12)) << "check box off: no cross";
    ASSERT_TRUE(skin.GetImage(5)->DrawImage(fb, 2, 2));
    EXPECT_EQ(colorBlack, fb.PixelAt(12, 12)) << "radio button on: the dot";

    EXPECT_EQ(CDefaultSkin::kInitialScheme, skin.GetColorScheme());
    EXPECT_EQ(GetColorSchemeManager()->GetSchemeObject(2), skin.GetColors());
    skin.SetColorScheme(5);
    EXPECT_EQ(5, skin.GetColorScheme());
    EXPECT_EQ(GetColorSchemeManager()->GetSchemeObject(5), skin.GetColors());
  }
}

// The control font's description: the font it gives (an outline size, or
// the fixed font's scale) and the dark colour it sets. Sans.ttf and Sa.ttf
// are DejaVu Sans in the skin folder, Outside.ttf one beside it; Pipe.ttf is
// a FIFO, Dir.ttf a folder. The default size is 16.
struct DescriptionCase {
  const char* what;
  std::string content;
  int32_t size;         // 0: the fixed font
  uint32_t fixedScale;  // with size 0
  Color dark;
};

std::string Spaces(int32_t n) { return std::string(static_cast<size_t>(n), ' '); }

TEST_F(SkinTest, ControlFontDescriptions) {
  const int32_t limit = CDefaultSkin::kMaxLineBytes;
  const DescriptionCase cases[] = {
      {"face, size and colour", "Sans 18\n0 0 255\n", 18, 0, 0x001F},
      {"largest size", "Sans 240\n", CDefaultSkin::kMaxFontSize, 0, 0},
      {"size above the screen", "Sans 241\n", 16, 0, 0},
      {"size 0", "Sans 0\n255 255 255\n", 16, 0, 0xFFFF},
      {"negative size", "Sans -18\n", 16, 0, 0},
      {"size beyond 32 bits", "Sans 99999999999999\n", 16, 0, 0},
      {"size missing", "Sans\n", 16, 0, 0},
      {"size no number", "Sans big\n0 0 255\n", 16, 0, 0x001F},
      {"no final line feed", "Sans 18\n0 252 0", 18, 0, 0x07E0},
      {"colour out of range, clamped", "Sans 18\n300 -7 128\n", 18, 0, 0xF810},
      {"colour numbers missing", "Sans 18\n255\n", 18, 0, 0xF800},
      {"colour stops at a non-number", "Sans 18\n255 x 255\n", 18, 0, 0xF800},
      {"empty file", "", 0, 2, 0},
      {"long first line's rest is no second line", "Sans 18" + Spaces(9980) + "0 0 255\n255 0 0\n", 18, 0, 0xF800},
      {"a 10000-character face is dropped", std::string(10000, 'S') + " 18\n0 0 255\n", 0, 2, 0x001F},
      {"face cut where the kept part ends", Spaces(CDefaultSkin::kLineKeptBytes - 2) + "Sans 18\n", 0, 2, 0},
      {"first line at the read limit", "Sans 18" + Spaces(limit - 8) + "\n0 0 255\n", 18, 0, 0x001F},
      {"first line past the read limit", "Sans 18" + Spaces(limit - 7) + "0 255 0\n0 0 255\n", 18, 0, 0},
      {"NUL in the face", std::string("Sa\0ns 18\n0 0 255\n", 17), 0, 2, 0x001F},
      {"NUL after the size", std::string("Sans 18\0\n", 9), 18, 0, 0},
      {"NUL in the colour", std::string("Sans 18\n255\0 255 255\n", 21), 18, 0, 0xF800},
      {"binary file", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\xff\xfe", 18), 0, 2, 0},
      {"face above the skin folder", "../Outside 18\n", 0, 2, 0},
      {"face with an inner parent step", "fonts/../../Outside 22\n", 0, 3, 0},
      {"face is a FIFO", "Pipe 18\n", 0, 2, 0},
      {"face is a folder", "Dir 18\n", 0, 2, 0},
      {"missing face, size kept for the fixed font", "Missing 21\n", 0, 3, 0},
      {"missing face at 20", "Missing 20\n", 0, 2, 0},
  };
  LinkFont(SkinFile("Sans.ttf"));
  LinkFont(SkinFile("Sa.ttf"));
  LinkFont(folder.Path() + "/Outside.ttf");
  MakeFifo(SkinFile("Pipe.ttf"));
  ASSERT_EQ(0, mkdir(SkinFile("Dir.ttf").c_str(), 0755));
  for (const DescriptionCase& c : cases) {
    SCOPED_TRACE(c.what);
    Put("ControlFont.txt", c.content);
    SetDarkColor(kUnsetDark);
    std::unique_ptr<CDefaultSkin> skin = Load();
    EXPECT_EQ(c.dark, GetDarkColor());
    if (c.size != 0) {
      EXPECT_FALSE(skin->IsBuiltInFont(0));
      EXPECT_TRUE(IsOutlineAt(skin->GetFont(0), SkinFile("Sans.ttf"), c.size));
    } else {
      EXPECT_TRUE(skin->IsBuiltInFont(0));
      EXPECT_EQ(GetFixedFont(c.fixedScale), skin->GetFont(0));
    }
  }
}

// A face so long that its path is cut at the path buffer: the cut path would
// name another font file, which must not be read.
TEST_F(SkinTest, FaceWhosePathWouldBeCutIsMissing) {
  const std::string prefix = SkinFile("");
  const int32_t kept = kPathCapacity - 1 - static_cast<int32_t>(prefix.size());
  const std::string face(static_cast<size_t>(kPathCapacity) - prefix.size(), 'A');
  ASSERT_GT(kept, 0);
  ASSERT_LE(face.size() + 4, static_cast<size_t>(kPathCapacity));
  LinkFont(prefix + std::string(static_cast<size_t>(kept), 'A'));
  Put("ControlFont.txt", face + " 18\n");
  std::unique_ptr<CDefaultSkin> skin = Load();
  EXPECT_TRUE(skin->IsBuiltInFont(0));
  EXPECT_EQ(GetFixedFont(2), skin->GetFont(0));
}

TEST_F(SkinTest, ArialIsTheFallbackFace) {
  LinkFont(SkinFile("Arial.ttf"));
  {
    // No descriptions: Arial at the default sizes.
    std::unique_ptr<CDefaultSkin> skin = Load();
    EXPECT_TRUE(IsOutlineAt(skin->GetFont(0), SkinFile("Arial.ttf"), 16));
    EXPECT_TRUE(IsOutlineAt(skin->GetFont(1), SkinFile("Arial.ttf"), 20));
    EXPECT_TRUE(IsOutlineAt(skin->GetFont(4), SkinFile("Arial.ttf"), 24));
    for (int32_t n : {0, 1, 4}) EXPECT_FALSE(skin->IsBuiltInFont(n)) << n;
  }
  // A missing or refused face: Arial at the size read.
  for (const char* content : {"Missing 18\n", "../Arial 18\n"}) {
    SCOPED_TRACE(content);
    Put("ControlFont.txt", content);
    EXPECT_TRUE(IsOutlineAt(Load()->GetFont(0), SkinFile("Arial.ttf"), 18));
  }
}

TEST_F(SkinTest, ButtonAndBigFontsReadNoColour) {
  LinkFont(SkinFile("Sans.ttf"));
  Put("ButtonFont.txt", "Sans 0\n0 0 255\n");
  Put("BigFont.txt", "Sans 30\n255 0 0\n");
  SetDarkColor(kUnsetDark);
  std::unique_ptr<CDefaultSkin> skin = Load();
  EXPECT_EQ(kUnsetDark, GetDarkColor());
  EXPECT_TRUE(IsOutlineAt(skin->GetFont(1), SkinFile("Sans.ttf"), 20));
  EXPECT_EQ(skin->GetFont(1), skin->GetFont(2));
  EXPECT_EQ(skin->GetFont(1), skin->GetFont(3));
  EXPECT_TRUE(IsOutlineAt(skin->GetFont(4), SkinFile("Sans.ttf"), 30));
  EXPECT_EQ(GetFixedFont(2), skin->GetFont(0));
}

TEST_F(SkinTest, PicturesFromTheSkinFolder) {
  Put("CheckOn.bmp", Gradient24(4, 3).Bytes());
  Put("Back.bmp", Gradient24(5, 2).Bytes());
  Put("RadioOnDis.bmp", Gradient24(6, 2).Bytes());
  Put("CheckOffDis.bmp", "not a picture");
  std::unique_ptr<CDefaultSkin> skin = Load();

  // The file replaces the built-in picture, which is destroyed (LSan).
  auto* checkOn = dynamic_cast<CImage*>(skin->GetImage(1));
  ASSERT_NE(nullptr, checkOn);
  EXPECT_EQ(4u, checkOn->GetImageWidth());
  EXPECT_EQ(colorRed, checkOn->Transparent());
  EXPECT_EQ(GradientColor(1, 2), checkOn->PixelAt(1, 2));
  EXPECT_EQ(skin->GetImage(1), skin->GetImage(3));

  auto* back = dynamic_cast<CImage*>(skin->GetImage(0));
  ASSERT_NE(nullptr, back);
  EXPECT_EQ(5u, back->GetImageWidth());
  EXPECT_EQ(-1, back->Transparent());

  // A disabled picture of its own; one that does not decode is none, not its fallback.
  auto* radioOnDis = dynamic_cast<CImage*>(skin->GetImage(7));
  ASSERT_NE(nullptr, radioOnDis);
  EXPECT_EQ(6u, radioOnDis->GetImageWidth());
  EXPECT_NE(nullptr, dynamic_cast<CDefaultRadioOn*>(skin->GetImage(5)));
  EXPECT_EQ(nullptr, skin->GetImage(4));
  EXPECT_NE(nullptr, skin->GetImage(2));
}

TEST_F(SkinTest, LabyrinthPicturesAreLoadedOnEachCall) {
  std::unique_ptr<CDefaultSkin> skin = Load();
  EXPECT_EQ(nullptr, skin->GetImage(13));
  Put("BlueLabirinth.bmp", Gradient24(3, 3).Bytes());
  std::unique_ptr<MImage> first(skin->GetImage(13));
  std::unique_ptr<MImage> second(skin->GetImage(13));
  ASSERT_NE(nullptr, first);
  ASSERT_NE(nullptr, second);
  EXPECT_NE(first.get(), second.get());
  auto* picture = dynamic_cast<CImage*>(first.get());
  ASSERT_NE(nullptr, picture);
  EXPECT_EQ(-1, picture->Transparent());
  EXPECT_EQ(nullptr, skin->GetImage(14));
}

// A FIFO (or a device node) in the skin folder must not block the start.
TEST_F(SkinTest, FilesThatAreNoRegularFiles) {
  MakeFifo(SkinFile("ControlFont.txt"));
  MakeFifo(SkinFile("CheckOn.bmp"));
  MakeFifo(SkinFile("Back.bmp"));
  MakeFifo(SkinFile("GreenLabirinth.bmp"));
  SetDarkColor(kUnsetDark);
  std::unique_ptr<CDefaultSkin> skin = Load();
  EXPECT_EQ(kUnsetDark, GetDarkColor()) << "a FIFO description does not open";
  EXPECT_EQ(GetFixedFont(2), skin->GetFont(0));
  EXPECT_EQ(nullptr, skin->GetImage(0));
  EXPECT_EQ(nullptr, skin->GetImage(1)) << "opens but does not decode";
  EXPECT_EQ(nullptr, skin->GetImage(3));
  EXPECT_EQ(nullptr, skin->GetImage(15));
}

// The files were regular when a skin was first made and are FIFOs by the
// next load: no answer about the name is trusted, only the opened file.
TEST_F(SkinTest, FilesSwappedForFifosAfterAFirstLoad) {
  const std::string face = SkinFile("Face.ttf");
  Put("Face.ttf", ReadWholeFile(kDejaVu));
  Put("ControlFont.txt", "Face 18\n0 0 255\n");
  EXPECT_TRUE(IsOutlineAt(Load()->GetFont(0), face, 18));
  ASSERT_EQ(0, unlink(face.c_str()));
  ASSERT_EQ(0, unlink(SkinFile("ControlFont.txt").c_str()));
  MakeFifo(face);
  MakeFifo(SkinFile("ControlFont.txt"));
  SetDarkColor(kUnsetDark);
  std::unique_ptr<CDefaultSkin> skin = Load();
  EXPECT_EQ(kUnsetDark, GetDarkColor());
  EXPECT_EQ(GetFixedFont(2), skin->GetFont(0));
  bool builtIn = false;
  EXPECT_EQ(GetFixedFont(2), CDefaultSkin::LoadFace(folder.Path().c_str(), "Face", 18, &builtIn));
  EXPECT_TRUE(builtIn);
}

TEST_F(SkinTest, SkinFolderKeeps99Characters) {
  EXPECT_STREQ("./", GetSkinFolder());
  const std::string longFolder(150, 'f');
  SetSkinFolder(longFolder.c_str());
  EXPECT_EQ(longFolder.substr(0, CDefaultSkin::kFolderCapacity - 1), GetSkinFolder());
  ResetSkinForTesting();
  EXPECT_STREQ("./", GetSkinFolder());
}

TEST_F(SkinTest, SetSkinFolderRebuildsTheSkin) {
  folder.Install();
  MUISkin* skin = GetSkin();
  ASSERT_NE(nullptr, skin);
  EXPECT_EQ(skin, GetSkin());
  skin->SetColorScheme(7);
  EXPECT_EQ(GetFixedFont(2), skin->GetFont(0));

  // Built once: a font added later is not seen until the folder is set again.
  LinkFont(SkinFile("Arial.ttf"));
  Put("ControlFont.txt", "Arial 18\n0 0 255\n");
  EXPECT_EQ(7, GetSkin()->GetColorScheme());
  EXPECT_EQ(GetFixedFont(2), GetSkin()->GetFont(0));

  folder.Install();
  EXPECT_EQ(CDefaultSkin::kInitialScheme, GetSkin()->GetColorScheme());
  EXPECT_TRUE(IsOutlineAt(GetSkin()->GetFont(0), SkinFile("Arial.ttf"), 18));
  EXPECT_EQ(0x001F, GetDarkColor());

  ResetSkinForTesting();
  EXPECT_EQ(colorBlack, GetDarkColor());
}

}  // namespace
