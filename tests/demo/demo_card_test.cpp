// The demo card: the generator writes the same tree on every run, also over
// a stale card; it stops with the package's name when the font is missing;
// the skin it writes loads through the toolkit's own decoder and skin.
#include <fcntl.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "gfx/cached_free_type_font.h"
#include "gfx/image.h"
#include "tests/support/card_tree.h"
#include "ui/skin.h"

namespace {

const std::string kCard = KESTREL_DEMO_CARD;

int Generate(const TempDir& dir, const std::string& output, const std::string& font, std::string* errors) {
  return RunTool(dir, {KESTREL_DEMO_GENERATOR, KESTREL_DEMO_SOURCE, output, font}, errors);
}

TEST(DemoCard, EveryRunWritesTheSameTreeAndNothingStaleSurvives) {
  TempDir dir;
  const std::string first = dir.File("first"), second = dir.File("second");
  // A card from an older run, with names that this one no longer writes.
  ASSERT_EQ(0, mkdir(second.c_str(), 0755));
  ASSERT_EQ(0, mkdir((second + "/Big folder").c_str(), 0755));
  dir.Write("second/Big folder/file 99.txt", "stale\n");
  dir.Write("second/stale.txt", "stale\n");
  std::string errors;
  ASSERT_EQ(0, Generate(dir, first, KESTREL_DEJAVU_FONT, &errors)) << errors;
  ASSERT_EQ(0, Generate(dir, second, KESTREL_DEJAVU_FONT, &errors)) << errors;

  const CardTree tree = ReadCardTree(first);
  EXPECT_EQ(tree, ReadCardTree(second));
  // The build's card is this same tree.
  EXPECT_EQ(tree, ReadCardTree(kCard));
  // The generated names are there: the empty folder, the Latin-1 and broken
  // UTF-8 names, and the 60 files.
  EXPECT_EQ(1u, tree.count("/Empty folder/"));
  EXPECT_EQ(1u, tree.count("/Caf\xE9 menu.txt"));
  EXPECT_EQ(1u, tree.count("/Odd names folder/broken \xC3\x28 utf-8.txt"));
  EXPECT_EQ(1u, tree.count("/Big folder/file 60.txt"));
  EXPECT_EQ(0u, tree.count("/Big folder/file 61.txt"));
}

TEST(DemoCard, MissingFontStopsNamingThePackage) {
  TempDir dir;
  const std::string output = dir.File("card");
  dir.Write("card", "an older card\n");
  std::string errors;
  EXPECT_EQ(1, Generate(dir, output, dir.File("no/DejaVuSans.ttf"), &errors));
  EXPECT_NE(std::string::npos, errors.find("fonts-dejavu-core")) << errors;
  // Nothing was removed before the font was found missing.
  EXPECT_EQ("an older card\n", ReadWholeFile(output));
}

struct Picture {
  const char* name;
  uint32_t width, height;
  bool transparent;
};

TEST(DemoCard, PicturesDecodeAtTheirSizes) {
  const Picture pictures[] = {
      {"Back", 320, 240, false},
      {"CheckOn", 20, 20, true},
      {"CheckOff", 20, 20, true},
  };
  const Color red = ToColor(255, 0, 0);
  std::unique_ptr<CImage> decoded[3];
  for (size_t i = 0; i < 3; ++i) {
    const Picture& p = pictures[i];
    SCOPED_TRACE(p.name);
    const int fd = open((kCard + "/skin/" + p.name + ".bmp").c_str(), O_RDONLY);
    ASSERT_LE(0, fd);
    decoded[i].reset(static_cast<CImage*>(LoadBmpImage(fd, p.transparent ? 255 : -1, 0, 0, 16)));
    ASSERT_NE(nullptr, decoded[i]);
    EXPECT_EQ(p.width, decoded[i]->GetImageWidth());
    EXPECT_EQ(p.height, decoded[i]->GetImageHeight());
    if (p.transparent) {
      // The corners are clear, the middle is drawn.
      EXPECT_EQ(red, decoded[i]->PixelAt(0, 0));
      EXPECT_EQ(red, decoded[i]->PixelAt(p.width - 1, p.height - 1));
      EXPECT_NE(red, decoded[i]->PixelAt(p.width / 2, p.height / 2));
    }
  }
  // White and yellow text stay readable on every pixel behind the screens,
  // and in the title band the keyboards' black text too: luma (0 to 255)
  // at most 110 everywhere, at least 80 in the band.
  const CImage& back = *decoded[0];
  for (uint32_t x = 0; x < 320; ++x) {
    for (uint32_t y = 0; y < 240; ++y) {
      const Color c = back.PixelAt(x, y);
      const uint32_t r = (c >> 11) << 3, g = ((c >> 5) & 0x3F) << 2, b = (c & 0x1F) << 3;
      const uint32_t luma = (299 * r + 587 * g + 114 * b) / 1000;
      ASSERT_LE(luma, 110u) << x << "," << y;
      if (y < 22) {
        ASSERT_GE(luma, 80u) << x << "," << y;
      }
    }
  }
  // The tick tells the two check pictures apart.
  bool differ = false;
  for (uint32_t x = 0; x < 20; ++x)
    for (uint32_t y = 0; y < 20; ++y) differ = differ || decoded[1]->PixelAt(x, y) != decoded[2]->PixelAt(x, y);
  EXPECT_TRUE(differ);
}

// The program's skin folder is the card root with a slash, as on the device.
TEST(DemoCard, SkinLoadsItsFacesAndPictures) {
  ResetSkinForTesting();
  SetSkinFolder((kCard + "/").c_str());
  auto* skin = dynamic_cast<CDefaultSkin*>(GetSkin());
  ASSERT_NE(nullptr, skin);
  const struct {
    int32_t number, size;
  } fonts[] = {{0, 16}, {1, 18}, {4, 24}};
  for (const auto& f : fonts) {
    SCOPED_TRACE(f.number);
    EXPECT_FALSE(skin->IsBuiltInFont(f.number));
    std::unique_ptr<MFont> reference(CreateCachedFont((kCard + "/skin/DejaVuSans.ttf").c_str(), f.size));
    ASSERT_NE(nullptr, reference);
    ASSERT_NE(nullptr, skin->GetFont(f.number));
    EXPECT_EQ(reference->GetMetric(MFont::kLineHeight), skin->GetFont(f.number)->GetMetric(MFont::kLineHeight));
  }
  for (int32_t number : {0, 1, 2}) {
    SCOPED_TRACE(number);
    EXPECT_NE(nullptr, dynamic_cast<CImage*>(skin->GetImage(number)));
  }
  ResetSkinForTesting();
}

}  // namespace
