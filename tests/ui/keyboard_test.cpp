#include "ui/keyboard.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/keyboard_script.h"
#include "tests/support/skin_folder.h"
#include "tests/support/ui_recorder.h"
#include "ui/skin.h"

namespace {

// Scheme 6 (the keyboards' screen) and scheme 5 (their text line and special keys).
constexpr Color kScreenBackground = 0xF79E, kLineBackground = 0xE73C, kInk = colorBlack;

using Step = KeyStep;

class KeyboardTest : public CKeyboardFixture {
 public:
  // Runs an edit of `text` with the steps; the text afterwards.
  std::string Edit(CUIKeyboardScreen* keyboard, const std::string& text, const std::vector<Step>& steps,
                   int32_t flags, int32_t maximum = 20, const char* title = "Name") {
    Script(steps);
    std::vector<char> buffer(text.begin(), text.end());
    buffer.resize(std::max<size_t>(text.size(), 20) + 1, '\0');
    EXPECT_TRUE(keyboard->EditText(buffer.data(), title, maximum, flags));
    EXPECT_LT(sleeps, kSleepLimit) << "the script did not leave the keyboard";
    return buffer.data();
  }
};

TEST_F(KeyboardTest, KeyRectanglesAtWidth320) {
  struct Row {
    const char* keys;  // one key per character, 40 pixels apart from x = 0
    int32_t y;
  };
  struct Special {
    const char* text;
    int32_t x, y, width;
  };
  struct Layout {
    CUIKeyboardScreen* keyboard;
    int32_t keyWidth;
    std::vector<Row> rows;
    int32_t step;
    std::vector<Special> specials;
  };
  const Layout layouts[] = {
      {GetKeyboard(),
       38,
       {{"ABCDEFGH", 79}, {"IJKLMNOP", 119}, {"QRSTUVWX", 159}, {"YZ ", 199}},
       40,
       {{"<", 120, 199, 38}, {"^", 160, 199, 38}, {"123", 200, 199, 38}, {"Back", 240, 199, 77}}},
      {GetNumericKeyboard(),
       62,
       {{"12345", 79}, {"67890", 119}, {".,-@/", 159}},
       64,
       {{"<", 0, 199, 78}, {" ", 80, 199, 78}, {"ABC", 160, 199, 78}, {"Back", 240, 199, 78}}},
  };
  MColorScheme* keyScheme = GetColorSchemeManager()->GetSchemeObject(5);
  for (const Layout& l : layouts) {
    CUIKeyboardScreen* kb = l.keyboard;
    ASSERT_NE(nullptr, kb);
    int32_t slot = 0;
    auto expect = [&](const std::string& text, int32_t x, int32_t y, int32_t width, bool special) {
      SCOPED_TRACE("key \"" + text + "\"");
      MUIWidget* key = kb->ChildAt(slot++);  // keys lie in slot order
      ASSERT_NE(nullptr, key);
      EXPECT_STREQ(text.c_str(), key->text);
      EXPECT_EQ(x, key->rect.x);
      EXPECT_EQ(y, key->rect.y);
      EXPECT_EQ(width, key->rect.width);
      EXPECT_EQ(38, key->rect.height);
      EXPECT_EQ(static_cast<MUIWidget::MUIWidgetEvents*>(kb), key->listener);
      EXPECT_EQ(special ? keyScheme : nullptr, key->scheme);
      EXPECT_EQ(GetSkin()->GetFont(1), key->CurrentFont());
    };
    for (const Row& r : l.rows)
      for (int32_t i = 0; r.keys[i] != '\0'; ++i) expect(std::string(1, r.keys[i]), l.step * i, r.y, l.keyWidth, false);
    for (const Special& s : l.specials) expect(s.text, s.x, s.y, s.width, true);
    EXPECT_EQ(slot, kb->CountChildren());
    // Only the keys carry the key font; the text line uses the screen's.
    EXPECT_EQ(nullptr, kb->font);
    EXPECT_EQ(6, kb->ColorSchemeIndex());
  }
  CUIKeyboardScreenImpl* letters = GetKeyboard();
  EXPECT_EQ(FindKey(letters, "123"), letters->digitsKey);
  EXPECT_EQ(FindKey(letters, "^"), letters->shiftKey);
  EXPECT_EQ(FindKey(letters, " "), letters->spaceKey);
  CUIKeyboardNumericScreenImpl* digits = GetNumericKeyboard();
  EXPECT_EQ(FindKey(digits, "ABC"), digits->lettersKey);
  EXPECT_EQ(FindKey(digits, " "), digits->numericSpaceKey);
}

TEST_F(KeyboardTest, AutomaticCapitalsFollowTheText) {
  CUIKeyboardScreenImpl* kb = GetKeyboard();
  EXPECT_EQ("He Tx", Edit(kb, "", {"H", "E", " ", "T", "X", "Back"}, 0x2C0));
  EXPECT_FALSE(kb->upperCase);
  // Backspace to a blank brings the capitals back.
  EXPECT_EQ("He X", Edit(kb, "He T", {"<", "X", "Back"}, 0x2C0));
}

// Bits 1 and 2 fix the case and disable shift; without them the case of the
// last use carries over and shift toggles it. Each row taps A, shift, B on
// the same keyboard.
TEST_F(KeyboardTest, CaseFlagsAndShift) {
  struct Case {
    int32_t flags;
    const char* typed;
    bool shiftEnabled;
  };
  const Case cases[] = {
      {0x4, "ab", false}, {0x0, "aB", true}, {0x2, "AB", false}, {0x0, "Ab", true},
  };
  CUIKeyboardScreenImpl* kb = GetKeyboard();
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "flags " << c.flags);
    sleeps = 0;
    EXPECT_EQ(c.typed, Edit(kb, "", {"A", "^", "B", "Back"}, c.flags));
    EXPECT_EQ(c.shiftEnabled, kb->shiftKey->enabled);
  }
}

// Bit 0 disables "123" (remote key 5 then leaves instead), bit 5 the blank.
TEST_F(KeyboardTest, FlagsDisableDigitsAndSpace) {
  struct Case {
    int32_t flags;
    bool digits, space;
    const char* typed;
  };
  const Case cases[] = {
      {0x01, false, true, "A B"},
      {0x20, true, false, "AB"},
      {0x21, false, false, "AB"},
  };
  CUIKeyboardScreenImpl* kb = GetKeyboard();
  CUIKeyboardNumericScreenImpl* digits = GetNumericKeyboard();
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "flags " << c.flags);
    sleeps = 0;
    bool digitsShown = false;
    eachSleep = [&](int) { digitsShown = digitsShown || GetEventLoop()->GetScreen() == digits; };
    // Without "123", key 5 leaves; with it, key 5 opens the digits and Back there leaves both.
    std::vector<Step> steps = {"A", " ", "B", "123", c.digits ? Digit("Back") : Step(5)};
    EXPECT_EQ(c.typed, Edit(kb, "", steps, c.flags));
    EXPECT_EQ(c.digits, kb->digitsKey->enabled);
    EXPECT_EQ(c.space, kb->spaceKey->enabled);
    EXPECT_EQ(c.digits, digitsShown);
  }
}

// The caller's buffer is exactly as large as the maximum allows: any write
// past maxLength + NUL is a heap overrun.
TEST_F(KeyboardTest, MaximumLength) {
  struct Case {
    int32_t maximum;
    std::string text;
    std::vector<Step> steps;
    std::string expected;
  };
  const std::vector<Step> many(25, Step("K"));
  const Case cases[] = {
      {5, "abcde", {"F", "G"}, "abcde"},
      {5, "abcde", {"F", "<", "F"}, "abcdf"},
      {30, "", many, std::string(20, 'k').replace(0, 1, "K")},
      {0, "", {"A"}, ""},
      {-4, "", {"A"}, ""},
  };
  CUIKeyboardScreenImpl* kb = GetKeyboard();
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "maximum " << c.maximum << " on \"" << c.text << "\"");
    sleeps = 0;
    std::vector<Step> steps = c.steps;
    steps.push_back("Back");
    Script(steps);
    const size_t room = std::max<size_t>(c.text.size(), static_cast<size_t>(std::clamp(c.maximum, 0, 20))) + 1;
    std::unique_ptr<char[]> buffer(new char[room]);
    std::memcpy(buffer.get(), c.text.c_str(), c.text.size() + 1);
    EXPECT_TRUE(kb->EditText(buffer.get(), "Max", c.maximum, 0x2C0));
    EXPECT_EQ(c.expected, buffer.get());
    EXPECT_EQ(std::clamp(c.maximum, 0, 20), kb->maxLength);
  }
}

// "123" opens the digits keyboard on the same text, "ABC" comes back, "Back"
// on the letters leaves them; "Back" on the digits closes both. The remote
// does the same with 5 (to the digits and back) and 6 (select: leave both).
TEST_F(KeyboardTest, DigitsKeyboardNestsOnTheSameText) {
  struct Case {
    const char* name;
    std::vector<Step> steps;
    const char* typed;
    int visits;  // times the digits keyboard was shown
  };
  const Case cases[] = {
      // Back from the digits, the automatic capitals follow what they typed.
      {"touch",
       {"123", Digit("1"), Digit("ABC"), "B", "123", Digit("2"), Digit(" "), Digit("ABC"), "C", "Back"},
       "1b2 C",
       2},
      {"back on the digits closes both", {"A", "123", Digit("1"), Digit("Back")}, "A1", 1},
      {"remote", {5, Digit("7"), 5, "X", 5, 6}, "7x", 2},
  };
  CEventLog log;
  CRecordingListener application(log);
  CTestScreen previous(log, "S");
  CUIEventLoop* loop = GetEventLoop();
  CUIKeyboardScreenImpl* kb = GetKeyboard();
  CUIKeyboardNumericScreenImpl* digits = GetNumericKeyboard();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sleeps = 0;
    loop->SetScreen(&previous);
    loop->listener = &application;
    int visits = 0;
    MUIWidget* shown = nullptr;
    eachSleep = [&](int) {
      MUIWidget* now = loop->GetScreen();
      if (now == digits && shown != digits) ++visits;
      shown = now;
      EXPECT_EQ(now == digits ? static_cast<CUIEventLoop::MUIEventLoopEvents*>(digits) : kb, loop->listener);
    };
    log.clear();
    EXPECT_EQ(c.typed, Edit(kb, "", c.steps, 0x2C0));
    EXPECT_EQ(c.visits, visits);
    EXPECT_TRUE(digits->lettersKey->enabled);
    // The application's screen and idle listener are back; its state machine never ran meanwhile.
    EXPECT_EQ(&previous, loop->GetScreen());
    EXPECT_EQ(&application, loop->listener);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(nullptr, kb->buffer);
    EXPECT_EQ(nullptr, digits->buffer);
  }
}

// Remote 9 and 10 press the focused key as a capital or a small letter for
// that key only; 7 toggles the case. Without shift (bit 2) 9 is a plain press.
TEST_F(KeyboardTest, RemoteKeysForceTheCaseOfOneKey) {
  struct Case {
    const char* name;
    int32_t flags;
    const char* text;
    std::vector<Step> steps;
    const char* typed;
    bool upperCaseAfter;
  };
  const Case cases[] = {
      // 4 focuses "A"; 5 leaves (no digits with bit 0).
      {"selection kept", 0x01, "", {4, 7, 9, "B", 10, 7, 10, "B", 5}, "AbaaB", true},
      {"automatic capitals follow the text", 0x41, "Go ", {4, 10, "B", 5}, "Go ab", false},
      {"no shift: a plain press", 0x05, "", {4, 9, 10, 5}, "aa", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ResetKeyboardsForTesting();
    sleeps = 0;
    CUIKeyboardScreenImpl* kb = GetKeyboard();
    EXPECT_EQ(c.typed, Edit(kb, c.text, c.steps, c.flags));
    EXPECT_EQ(c.upperCaseAfter, kb->upperCase);
  }
}

// Remote 2 removes a character and flushes; on an empty text it does nothing
// and asks for no flush.
TEST_F(KeyboardTest, RemoteBackspace) {
  CUIKeyboardScreenImpl* kb = GetKeyboard();
  std::vector<int> flushesAt;
  eachSleep = [&](int) { flushesAt.push_back(display.flushes); };
  EXPECT_EQ("", Edit(kb, "ab", {2, 2, 2, 6}, 0x2C0));
  ASSERT_GE(flushesAt.size(), 4u);
  EXPECT_EQ(1, flushesAt[1] - flushesAt[0]);
  EXPECT_EQ(0, flushesAt[2] - flushesAt[1]);
}

// The cursor toggles every 10 idle passes, one vertical run flushed on its
// own: from y 2 for capitals, from y 5 for small letters, down to y 16.
TEST_F(KeyboardTest, CursorBlinksWithTheHeightOfTheCase) {
  struct Case {
    int32_t flags;
    int32_t top;
  };
  for (const Case& c : {Case{0x2, 2}, Case{0x4, 5}}) {
    SCOPED_TRACE(testing::Message() << "flags " << c.flags);
    ResetKeyboardsForTesting();
    sleeps = 0;
    CUIKeyboardScreenImpl* kb = GetKeyboard();
    const int32_t x = static_cast<int32_t>(GetSkin()->GetFont(0)->GetTextWidth("T: ab")) + 3;
    auto column = [&] {
      std::string seen;
      for (int32_t y = 1; y <= 17; ++y) seen += display.PixelAt(x, y) == kInk ? '#' : '.';
      return seen;
    };
    const std::string hidden(17, '.');
    std::string shown = hidden;
    for (int32_t y = c.top; y <= 16; ++y) shown[y - 1] = '#';
    int flushesBefore = 0;
    eachSleep = [&](int n) {
      if (n == 9) {
        EXPECT_EQ(hidden, column());
        flushesBefore = display.flushes;
      }
      if (n == 10) {
        EXPECT_EQ(shown, column());
        EXPECT_EQ(1, display.flushes - flushesBefore);
        EXPECT_EQ(kLineBackground, display.PixelAt(x, 1));
      }
      if (n == 19) {
        EXPECT_EQ(shown, column());
      }
      if (n == 20) {
        EXPECT_EQ(hidden, column());
        EXPECT_EQ(kLineBackground, display.PixelAt(x, c.top));
        GetEventLoop()->quitRequested = true;
      }
    };
    char text[21] = "ab";
    EXPECT_TRUE(kb->EditText(text, "T", 20, c.flags));
    EXPECT_EQ(20, sleeps);
  }
}

// With the line on the screen's own background (the application's flags),
// hiding the cursor gives back exactly the line as it was before it showed.
TEST_F(KeyboardTest, AHiddenCursorLeavesTheLineAsItWas) {
  CUIKeyboardScreenImpl* kb = GetKeyboard();
  auto line = [&] {
    std::vector<Color> pixels;
    for (int32_t x = 0; x < 320; ++x)
      for (int32_t y = 0; y < 20; ++y) pixels.push_back(display.PixelAt(x, y));
    return pixels;
  };
  std::vector<Color> before;
  eachSleep = [&](int n) {
    if (n == 9) before = line();
    if (n == 10) {
      EXPECT_NE(before, line()) << "the cursor shows";
    }
    if (n == 20) {
      EXPECT_EQ(before, line()) << "the cursor is gone, nothing else changed";
      GetEventLoop()->quitRequested = true;
    }
  };
  char text[21] = "ab";
  EXPECT_TRUE(kb->EditText(text, "T", 20, 0x2C0));
}

// The top line holds 39 characters: a title and text that do not fit are
// cut, and nothing after the line in the keyboard is touched.
TEST_F(KeyboardTest, TopLine) {
  struct Case {
    const char* title;
    std::string text;
    std::string display;
  };
  const std::string title30 = "A title of thirty characters!!", text20 = "abcdefghijklmnopqrst";
  const Case cases[] = {
      {"Name", "abc", "Name: abc"},
      {nullptr, "abc", "abc"},
      {nullptr, "", ""},
      {title30.c_str(), text20, (title30 + ": " + text20).substr(0, 39)},
      {nullptr, std::string(60, 'x'), std::string(39, 'x')},
  };
  CUIKeyboardScreenImpl* kb = GetKeyboard();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.display);
    sleeps = 0;
    Script({"Back"});
    std::vector<char> buffer(c.text.begin(), c.text.end());
    buffer.push_back('\0');
    EXPECT_TRUE(kb->EditText(buffer.data(), c.title, 20, 0x2C1));
    EXPECT_EQ(c.display, kb->display);
    EXPECT_EQ(0x2C1, kb->keyboardFlags);
    EXPECT_EQ(20, kb->maxLength);
    EXPECT_EQ(c.text, buffer.data());
  }
}

// Bit 7 draws the screen's background instead of clearing the display to
// black; bit 9 puts the text line on it instead of on scheme 5's colour.
// Every variant has the black rule under the line.
TEST_F(KeyboardTest, DrawFlags) {
  struct Case {
    int32_t flags;
    Color corner;  // (0, 0): the screen's cut corner
    Color line;    // right of the text on the line
  };
  const Case cases[] = {
      {0x000, colorBlack, kLineBackground},
      {0x080, 0x1234, kLineBackground},
      {0x200, colorBlack, kScreenBackground},
      {0x280, 0x1234, kScreenBackground},
  };
  CUIKeyboardScreenImpl* kb = GetKeyboard();
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "flags " << c.flags);
    sleeps = 0;
    display.Pixels().Fill(0x1234);
    eachSleep = [&](int) {
      EXPECT_EQ(c.corner, display.PixelAt(0, 0));
      EXPECT_EQ(c.line, display.PixelAt(300, 10));
      EXPECT_EQ(kScreenBackground, display.PixelAt(300, 50));
      EXPECT_EQ(colorBlack, display.PixelAt(150, 20));
      GetEventLoop()->quitRequested = true;
    };
    char text[21] = "ab";
    kb->EditText(text, "T", 20, c.flags);
    EXPECT_EQ(1, sleeps);
  }
}

TEST_F(KeyboardTest, WithoutABufferNothingIsShown) {
  CUIKeyboardScreenImpl* kb = GetKeyboard();
  EXPECT_FALSE(kb->EditText(nullptr, "Name", 20, 0x2C0));
  EXPECT_EQ(0, sleeps);
  EXPECT_EQ(0, display.flushes);
  EXPECT_EQ(nullptr, GetEventLoop()->GetScreen());
}

// The keyboards live on across a change of skin folder, which destroys the
// old skin with its fonts: the keys take the new skin's key font.
TEST_F(KeyboardTest, KeysFollowANewSkin) {
  CUIKeyboardScreenImpl* kb = GetKeyboard();
  kb->Draw();
  CSkinFolder skin;
  ASSERT_TRUE(skin.DescribeDejaVu(true, true));
  skin.Install();
  kb->Draw();  // ASan: no font of the old skin is used
  EXPECT_EQ(GetSkin()->GetFont(1), kb->ChildAt(0)->CurrentFont());
}

}  // namespace
