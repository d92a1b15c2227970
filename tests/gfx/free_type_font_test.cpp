#include "gfx/free_type_font.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "device/memory_frame_buffer.h"
#include "gfx/cached_free_type_font.h"
#include "tests/gfx/free_type_reference.h"
#include "tests/support/temp_dir.h"

namespace {

TEST(FreeTypeFont, MeasuresAgreeWithFreeType) {
  for (int32_t size : {11, 16, 24}) {
    SCOPED_TRACE(size);
    ReferenceFace ref(kDejaVuSans, size);
    ASSERT_NE(ref.face, nullptr);
    CFreeTypeFont font(kDejaVuSans, size, true);
    ASSERT_TRUE(font.IsLoaded());
    ASSERT_TRUE(font.HasKerning());
    for (uint32_t code : {uint32_t{'A'}, uint32_t{'g'}, uint32_t{'j'}, uint32_t{'.'}, 0xE9u, 0x20ACu}) {
      SCOPED_TRACE(code);
      FT_GlyphSlot g = ref.Render(code);
      const int32_t top = g->bitmap_top;
      const uint32_t rows = g->bitmap.rows;
      EXPECT_EQ(font.GetCharHeight(code), top >= 0 && static_cast<uint32_t>(top) < rows ? uint32_t(top) : rows);
      EXPECT_EQ(font.GetCharWidth(code), static_cast<uint32_t>(ref.Advance(code)));
    }
    // The em square is `size` pixels high; metrics are the face's scaled values.
    EXPECT_EQ(ref.face->size->metrics.y_ppem, size);
    EXPECT_EQ(font.GetMetric(0), ref.Scaled(ref.face->height, true));
    EXPECT_EQ(font.GetMetric(1), ref.Scaled(ref.face->max_advance_width, false));
    EXPECT_EQ(font.GetMetric(2), ref.Scaled(ref.face->ascender, true));
    EXPECT_EQ(font.GetMetric(3), ref.Scaled(ref.face->descender, true));
    EXPECT_LT(font.GetMetric(3), 0);
    EXPECT_EQ(font.GetMetric(4), 0);
    EXPECT_EQ(font.GetMetric(-1), 0);

    // Kerning between neighbours, only where asked for and the face has it.
    const uint32_t sum = static_cast<uint32_t>(ref.Advance('T') + ref.Advance('o'));
    EXPECT_LT(ref.Kerning('T', 'o'), 0);
    EXPECT_EQ(font.GetTextWidth("To"), sum + static_cast<uint32_t>(ref.Kerning('T', 'o')));
    const WideChar to[] = {'T', 'o', 0};
    EXPECT_EQ(font.GetTextWidth(to), font.GetTextWidth("To"));
    EXPECT_EQ(CFreeTypeFont(kDejaVuSans, size, false).GetTextWidth("To"), sum);
    EXPECT_EQ(font.GetTextHeight("Ag"), std::max(font.GetCharHeight('A'), font.GetCharHeight('g')));
    EXPECT_EQ(font.GetTextHeight(""), 0u);
  }
}

TEST(FreeTypeFont, DejaVuSans12MatchesThePinnedMeasures) {
  CFreeTypeFont font(kDejaVuSans, 12, true);
  ASSERT_TRUE(font.IsLoaded());
  for (const PinnedGlyph& p : kDejaVuSans12) {
    SCOPED_TRACE(static_cast<char>(p.code));
    EXPECT_EQ(font.GetCharWidth(p.code), p.advance);
    EXPECT_EQ(font.GetCharHeight(p.code), p.height);
    MonoBitmap bitmap;
    ASSERT_TRUE(font.RenderChar(p.code, bitmap));
    EXPECT_EQ(bitmap.width, p.width);
    EXPECT_EQ(bitmap.rows, p.rows);
    EXPECT_EQ(bitmap.left, p.left);
    EXPECT_EQ(bitmap.top, p.top);
  }
  EXPECT_EQ(font.GetMetric(MFont::kLineHeight), kDejaVuSans12LineHeight);
  EXPECT_EQ(font.GetMetric(MFont::kMaxAdvance), kDejaVuSans12MaxAdvance);
  EXPECT_EQ(font.GetMetric(MFont::kAscender), kDejaVuSans12Ascender);
  EXPECT_EQ(font.GetMetric(MFont::kDescender), kDejaVuSans12Descender);
  EXPECT_EQ(font.GetTextWidth("To"), 14u);  // 7 + 8, kerned by -1
  EXPECT_EQ(font.GetTextHeight("Ag."), 9u);

  // 'A' with its baseline at the target's bottom edge fills the 8 x 9 target.
  CMemoryFrameBuffer fb(8, 9);
  EXPECT_TRUE(font.DrawChar(fb, 'A', 0, 9, 0xFFFF));
  std::string picture;
  for (int32_t y = 0; y < 9; ++y) {
    for (int32_t x = 0; x < 8; ++x) picture += fb.PixelAt(x, y) != 0 ? '#' : '.';
    picture += '\n';
  }
  EXPECT_EQ(picture,
            "...##...\n"
            "...##...\n"
            "..#..#..\n"
            "..#..#..\n"
            "..#..#..\n"
            ".#....#.\n"
            ".######.\n"
            ".#....#.\n"
            "#......#\n");
}

TEST(FreeTypeFont, FaceWithoutKerningAddsPlainAdvances) {
  ReferenceFace ref(kDejaVuMono, 16);
  CFreeTypeFont font(kDejaVuMono, 16, true);
  ASSERT_TRUE(font.IsLoaded());
  EXPECT_FALSE(font.HasKerning());
  EXPECT_EQ(font.GetTextWidth("AV"), static_cast<uint32_t>(ref.Advance('A') + ref.Advance('V')));
}

TEST(FreeTypeFont, UnusableFilesAndSizesLoadNothing) {
  TempDir dir;
  const std::string text = dir.Write("notes.ttf", "this is not a font\n");
  const std::string whole = ReadWholeFile(kDejaVuSans);
  const std::string truncated = dir.Write("cut.ttf", whole.substr(0, 2000));
  const struct {
    std::string path;
    int32_t size;
  } cases[] = {{text, 16}, {truncated, 16}, {dir.File("absent.ttf"), 16}, {"", 16},
               {kDejaVuSans, 0}, {kDejaVuSans, -16}, {kDejaVuSans, 100000000}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path + " " + std::to_string(c.size));
    CFreeTypeFont font(c.path.c_str(), c.size, true);
    EXPECT_FALSE(font.IsLoaded());
    EXPECT_EQ(font.GetTextWidth("AV"), 0u);
    CMemoryFrameBuffer fb(8, 8);
    EXPECT_FALSE(font.DrawText(fb, "A", 0, 0, 0xFFFF));
    MFont* cached = CreateCachedFont(c.path.c_str(), c.size);
    EXPECT_EQ(cached, nullptr);
    delete cached;
  }
}

TEST(FreeTypeFont, LibraryLivesWhileAFontIsOpen) {
  CFreeTypeManager* manager = GetFreeTypeManager();
  ASSERT_FALSE(manager->IsStarted());
  {
    CFreeTypeFont a(kDejaVuSans, 12, false);
    CFreeTypeFont b("/nonexistent.ttf", 12, false);
    EXPECT_TRUE(manager->IsStarted());
    EXPECT_EQ(manager->Users(), 2);
  }
  EXPECT_FALSE(manager->IsStarted());
  EXPECT_EQ(manager->Users(), 0);
  CFreeTypeFont again(kDejaVuSans, 12, false);
  EXPECT_TRUE(again.IsLoaded());
  EXPECT_TRUE(manager->IsStarted());
}

TEST(FreeTypeFontDeathTest, FontDestroyedAfterTheExitStepStillReleasesCleanly) {
  // A fresh process: the manager is not made yet. Under qemu-user the test
  // program cannot exec itself again, so there the child is a plain fork;
  // ctest runs each test in a process of its own, so it is still fresh.
  GTEST_FLAG_SET(death_test_style, std::getenv("KESTREL_QEMU") != nullptr ? "fast" : "threadsafe");
  EXPECT_EXIT(
      {
        // Registered before the library's first use, so it runs after the
        // manager's own exit step, as a skin kept by a global holder does.
        static CFreeTypeFont* late = nullptr;
        std::atexit([] { delete late; });
        late = new CFreeTypeFont(kDejaVuSans, 16, false);
        late->GetCharWidth('A');
        std::exit(0);
      },
      testing::ExitedWithCode(0), "");
}

TEST(FreeTypeFont, DrawsTheRenderedBitsAtTheBaseline) {
  ReferenceFace ref(kDejaVuSans, 16);
  CFreeTypeFont font(kDejaVuSans, 16, false);
  CMemoryFrameBuffer fb(40, 30);
  EXPECT_TRUE(font.DrawChar(fb, 'A', 5, 20, 0xF800));
  FT_GlyphSlot g = ref.Render('A');
  int lit = 0;
  for (uint32_t i = 0; i < g->bitmap.rows; ++i)
    for (uint32_t j = 0; j < g->bitmap.width; ++j) {
      const bool set = g->bitmap.buffer[i * g->bitmap.pitch + j / 8] & (0x80 >> (j % 8));
      lit += set;
      EXPECT_EQ(fb.PixelAt(5 + static_cast<int32_t>(j) + g->bitmap_left, 20 + static_cast<int32_t>(i) - g->bitmap_top),
                set ? 0xF800 : 0);
    }
  EXPECT_GT(lit, 10);

  // A space paints nothing and succeeds; the pen still moves by its advance.
  CMemoryFrameBuffer blank(40, 30);
  EXPECT_TRUE(font.DrawChar(blank, ' ', 5, 20, 0xFFFF));
  EXPECT_TRUE(font.DrawText(blank, " ", 5, 5, 0xFFFF));
  EXPECT_EQ(blank.Bytes(), CMemoryFrameBuffer(40, 30).Bytes());
  EXPECT_EQ(font.GetTextWidth("A A"), static_cast<uint32_t>(2 * ref.Advance('A') + ref.Advance(' ')));

  // A negative x paints nothing.
  EXPECT_TRUE(font.DrawText(blank, "AAA", static_cast<uint32_t>(-5), 0, 0xFFFF));
  EXPECT_EQ(blank.Bytes(), CMemoryFrameBuffer(40, 30).Bytes());
}

}  // namespace
