#include "ui/widget.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "tests/support/recording_font.h"

namespace {

// A widget that logs the state calls the base makes through the virtual table.
class CProbe final : public MUIWidget {
 public:
  explicit CProbe(const UIRect& r = UIRect(0, 0, 10, 10), const char* t = nullptr) : MUIWidget(r, t, nullptr) {}
  void Draw() override {}
  bool OnTouch(InputEvent&) override { return false; }
  bool OnKey(int32_t&) override { return false; }
  bool SetEnabled(bool enable) override {
    calls.push_back(enable ? "enable" : "disable");
    return MUIWidget::SetEnabled(enable);
  }
  bool SetFocus(bool focus) override {
    calls.push_back(focus ? "focus" : "unfocus");
    return MUIWidget::SetFocus(focus);
  }
  std::vector<std::string> calls;
};

TEST(Widget, EnabledAndFocusFollowEachOtherThroughTheVirtualTable) {
  CProbe w;
  w.SetFocus(true);
  EXPECT_TRUE(w.focused && w.enabled);
  w.SetEnabled(false);
  EXPECT_FALSE(w.focused || w.enabled);
  w.SetFocus(true);  // focusing a disabled widget enables it
  EXPECT_TRUE(w.focused && w.enabled);
  EXPECT_EQ((std::vector<std::string>{"focus", "enable", "disable", "unfocus", "focus", "enable"}), w.calls);
}

TEST(Widget, TextCopiesAndVisibility) {
  char source[] = "hello";
  CProbe w(UIRect(0, 0, 0, 10), source);
  source[0] = 'j';
  EXPECT_STREQ("hello", w.text);
  EXPECT_EQ(nullptr, w.SetText(nullptr));
  EXPECT_EQ(nullptr, w.text);
  w.SetAltText("alt");
  EXPECT_STREQ("alt", w.altText);
  EXPECT_FALSE(w.IsVisible());
  w.rect.width = -1;
  EXPECT_TRUE(w.IsVisible());
}

TEST(Widget, RectContainsWithoutOverflow) {
  EXPECT_TRUE(UIRect(10, 20, 5, 5).Contains(10, 20));
  EXPECT_FALSE(UIRect(10, 20, 5, 5).Contains(15, 20));
  EXPECT_FALSE(UIRect(10, 20, 5, 5).Contains(10, 25));
  EXPECT_TRUE(UIRect(INT32_MAX - 1, 0, 10, 1).Contains(INT32_MAX, 0));
  EXPECT_FALSE(UIRect(0, 0, 0, 10).Contains(0, 0));
}

using Lines = std::vector<CRecordingFont::Drawn>;

// Text layout with 6 x 8 cells: a line is 8 + 5 pixels high.
TEST(Widget, RenderTextLayout) {
  const std::string longText(600, 'x');
  struct Case {
    const char* name;
    std::string text;
    int32_t flags;
    UIRect box;
    bool result;
    Lines lines;
  };
  const Case cases[] = {
      {"one line at the corner", "a b", 0, UIRect(3, 4, 6, 6), true, {{"a b", 3, 4}}},
      {"centred both ways", "ab", kTextCentreX | kTextCentreY, UIRect(10, 20, 40, 30), true, {{"ab", 24, 31}}},
      {"a centred line wider than its box starts at the box", "abcdefgh", kTextCentreX | kTextCentreY,
       UIRect(10, 20, 12, 4), true, {{"abcdefgh", 10, 20}}},
      {"three words, one a line", "one two six", kTextMultiLine, UIRect(0, 0, 40, 100), true,
       {{"one", 0, 0}, {"two", 0, 13}, {"six", 0, 26}}},
      {"two words fit", "one two six", kTextMultiLineAlt, UIRect(0, 0, 42, 100), true,
       {{"one two", 0, 0}, {"six", 0, 13}}},
      {"newlines split, empty lines vanish, blanks trimmed", "  ab  \n\n\ncd", kTextMultiLine,
       UIRect(0, 0, 60, 100), true, {{"ab", 0, 0}, {"cd", 0, 13}}},
      {"only newlines", "\n\n\n", kTextMultiLine, UIRect(0, 0, 60, 100), true, {}},
      {"box runs out", "ab\ncd\nef", kTextMultiLine, UIRect(0, 0, 60, 20), false, {{"ab", 0, 0}, {"cd", 0, 13}}},
      {"centred in a 10-pixel line box", "ab\ncd", kTextMultiLine | kTextCentreX | kTextCentreY,
       UIRect(0, 0, 60, 100), true, {{"ab", 24, 1}, {"cd", 24, 14}}},
      {"a word wider than the line is broken inside", "abcdefghij", kTextMultiLine, UIRect(0, 0, 24, 100), true,
       {{"abcd", 0, 0}, {"efgh", 0, 13}, {"ij", 0, 26}}},
      {"a long word after a short one", "ab abcdefghij", kTextMultiLine, UIRect(0, 0, 24, 100), true,
       {{"ab", 0, 0}, {"abcd", 0, 13}, {"efgh", 0, 26}, {"ij", 0, 39}}},
      {"a box narrower than one character", "abc", kTextMultiLine, UIRect(0, 0, 2, 100), true,
       {{"a", 0, 0}, {"b", 0, 13}, {"c", 0, 26}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CRecordingFont font;
    CProbe w(c.box, c.text.c_str());
    w.SetFont(&font);
    EXPECT_EQ(c.result, w.RenderText(c.box, 0xFFFF, c.flags));
    EXPECT_EQ(c.lines, font.drawn);
  }
  // No text draws nothing.
  CRecordingFont font;
  CProbe empty(UIRect(0, 0, 10, 10), nullptr);
  empty.SetFont(&font);
  EXPECT_TRUE(empty.RenderText(empty.rect, 0, kTextMultiLine));
  EXPECT_TRUE(font.drawn.empty());
}

// Longer multi-line texts are cut to the 500-character layout buffer.
TEST(Widget, LongMultiLineTextIsCutToTheLayoutBuffer) {
  CRecordingFont font;
  const std::string text(2000, 'x');
  CProbe w(UIRect(0, 0, 6 * 100, 240), text.c_str());
  w.SetFont(&font);
  w.RenderText(w.rect, 0, kTextMultiLine);
  size_t drawn = 0;
  for (const auto& d : font.drawn) drawn += d.text.size();
  EXPECT_EQ(static_cast<size_t>(MUIWidget::kLayoutBuffer - 1), drawn);
}

// Nothing is laid out below the screen, whatever the box says.
TEST(Widget, LayoutStopsAtTheScreensBottom) {
  CRecordingFont font;
  CProbe w(UIRect(0, 200, 30, 10000), "aaaa bbbb cccc dddd eeee ffff");
  w.SetFont(&font);
  w.RenderText(w.rect, 0, kTextMultiLine);
  ASSERT_FALSE(font.drawn.empty());
  for (const auto& d : font.drawn) EXPECT_LT(d.y, 240u);
  EXPECT_LT(font.drawn.size(), 6u);
}

}  // namespace
