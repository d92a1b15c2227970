#include "ui/input.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "tests/support/keyboard_script.h"
#include "tests/support/recording_font.h"
#include "ui/screen.h"
#include "ui/skin.h"

namespace {

using Lines = std::vector<CRecordingFont::Drawn>;

class InputTest : public CKeyboardFixture {
 public:
  void SetUp() override {
    CKeyboardFixture::SetUp();
    field = new CUIInput(UIRect(10, 100, 200, 30), "", "Content", 20, 0x2C0);
    app.AddChild(field);
    // Which keyboard each sleep saw shown, once per showing.
    eachSleep = [this](int) {
      MUIWidget* shown = GetEventLoop()->GetScreen();
      if (shown != lastShown && (shown == GetKeyboard() || shown == GetNumericKeyboard())) keyboards.push_back(shown);
      lastShown = shown;
    };
  }

  // The keyboards shown since the last call, in order.
  std::vector<MUIWidget*> TakeShown() {
    std::vector<MUIWidget*> shown;
    shown.swap(keyboards);
    lastShown = nullptr;
    return shown;
  }

  CUIScreen app{2};
  CUIInput* field = nullptr;

 private:
  std::vector<MUIWidget*> keyboards;
  MUIWidget* lastShown = nullptr;
};

TEST_F(InputTest, Construction) {
  EXPECT_EQ(kTextCentreY, field->textFlags);
  EXPECT_EQ(3, field->fontIndex);
  EXPECT_EQ(6, field->displayFlags);
  EXPECT_STREQ("Content", field->title);
  EXPECT_EQ(nullptr, field->listener);
  CUIInput untitled(UIRect(0, 0, 10, 10), nullptr, nullptr, 5, 8);
  EXPECT_EQ(nullptr, untitled.title);
  EXPECT_EQ(nullptr, untitled.text);
}

// 6-pixel cells: a text narrower than the box or exactly as wide is drawn
// whole; a wider one loses characters before the "..." until the whole is
// narrower than the box. Centred in the 30-pixel height: y = 100 + 11.
TEST_F(InputTest, DrawShortensAWideText) {
  const std::string x600(600, 'x');
  struct Case {
    const char* name;
    std::string text;
    int32_t width;
    int32_t displayFlags;
    int32_t textFlags;
    Lines drawn;
    uint32_t cell = 6;
  };
  const Case cases[] = {
      {"exactly as wide", "ABCDE", 30, 6, kTextCentreY, {{"ABCDE", 10, 111}}},
      {"one pixel wider", "ABCDE", 29, 6, kTextCentreY, {{"A...", 10, 111}}},
      {"just below the box", "ABCDEFGHIJ", 50, 6, kTextCentreY, {{"ABCDE...", 10, 111}}},
      {"as wide as the box is not below it", "ABCDEF", 30, 6, kTextCentreY, {{"A...", 10, 111}}},
      {"the dots alone are wider", "ABCDE", 10, 6, kTextCentreY, {{"...", 10, 111}}},
      {"without dots", "ABCDEF", 30, 2, kTextCentreY, {{"ABCD", 10, 111}}},
      {"without shortening", "ABCDE", 29, 4, kTextCentreY, {{"ABCDE", 10, 111}}},
      {"a multi-line layout is left alone", "ABCDE", 29, 6, kTextMultiLine, {{"ABCD", 10, 100}, {"E", 10, 113}}},
      {"longer than the buffer", x600, 100, 6, kTextCentreY, {{std::string(13, 'x') + "...", 10, 111}}},
      {"longer than the buffer, without dots", x600, 100, 2, kTextCentreY, {{std::string(16, 'x'), 10, 111}}},
      {"centred", "ABCDE", 29, 6, kTextCentreX | kTextCentreY, {{"A...", 12, 111}}},
      // With 1-pixel cells the buffer's bound shows: 496 characters keep room for the dots.
      {"cut to the buffer", x600, 550, 6, kTextCentreY, {{std::string(496, 'x') + "...", 10, 111}}, 1},
      {"cut to the buffer, without dots", x600, 550, 2, kTextCentreY, {{std::string(499, 'x'), 10, 111}}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CRecordingFont font(c.cell);
    field->font = &font;
    field->SetText(c.text.c_str());
    field->rect.width = c.width;
    field->displayFlags = c.displayFlags;
    field->textFlags = c.textFlags;
    field->Draw();
    EXPECT_EQ(c.drawn, font.drawn);
    EXPECT_EQ(c.text, field->text);  // drawing never changes the field's text
  }
  CRecordingFont font;
  field->font = &font;
  field->rect.width = 0;
  field->Draw();
  EXPECT_TRUE(font.drawn.empty());
  field->rect.width = -5;  // a field without text in a box of any width
  field->SetText(nullptr);
  field->Draw();
  EXPECT_TRUE(font.drawn.empty());
}

// The text's colour follows the state; the box is filled in the scheme's
// background, or left to the parent's background with bit 0.
TEST_F(InputTest, DrawColours) {
  struct Case {
    bool enabled, focused;
    int32_t displayFlags;
    Color background, ink;
  };
  const Case cases[] = {
      {true, false, 6, 0x3339, colorWhite},
      {true, true, 6, 0x3339, colorRed},
      {false, false, 6, 0x3339, colorSilver},
      {true, false, 7, colorYellow, colorWhite},
  };
  app.SetBackground(colorYellow, nullptr);
  field->SetText("Kestrel");
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.enabled << c.focused << c.displayFlags);
    display.Pixels().Fill(0x1234);
    field->enabled = c.enabled;
    field->focused = c.focused;
    field->displayFlags = c.displayFlags;
    field->Draw();
    std::set<Color> seen;
    for (int32_t x = 14; x <= 206; ++x)
      for (int32_t y = 104; y <= 126; ++y) seen.insert(display.PixelAt(x, y));
    EXPECT_EQ((std::set<Color>{c.background, c.ink}), seen);
  }
  // Outside any group there is no parent to paint the box: only the text is drawn.
  CUIInput orphan(UIRect(10, 150, 100, 30), "Kestrel", nullptr, 20, 0);
  orphan.displayFlags = 7;
  display.Pixels().Fill(0x1234);
  orphan.Draw();
  std::set<Color> seen;
  for (int32_t x = 10; x <= 110; ++x)
    for (int32_t y = 150; y <= 180; ++y) seen.insert(display.PixelAt(x, y));
  EXPECT_EQ((std::set<Color>{0x1234, colorWhite}), seen);
}

// Through the event loop: a pen-down outside, lifted on the field, opens the
// keyboard (the screen routes the release to the field); a pen-down on the
// field does nothing. The keyboard's edit becomes the field's text.
TEST_F(InputTest, ReleaseOnTheFieldOpensTheKeyboard) {
  CUIEventLoop* loop = GetEventLoop();
  loop->SetScreen(&app);
  input.Touch(5, 5, 1);
  input.Touch(50, 110, 0);
  Script({"B", "E", "Back"});
  input.Touch(50, 110, 1);
  loop->ProcessEvents();
  EXPECT_TRUE(TakeShown().empty());
  loop->ProcessEvents();
  EXPECT_EQ((std::vector<MUIWidget*>{GetKeyboard()}), TakeShown());
  EXPECT_STREQ("Be", field->text);
  EXPECT_EQ(&app, loop->GetScreen());
  loop->ProcessEvents();  // the pen-down
  EXPECT_TRUE(TakeShown().empty());
  EXPECT_TRUE(input.touches.empty());
  EXPECT_STREQ("Be", field->text);
}

// Through the event loop and the screen's focus: 5 and 6 open the keyboard,
// other codes leave it closed.
TEST_F(InputTest, SelectKeysOpenTheKeyboard) {
  CUIEventLoop* loop = GetEventLoop();
  loop->SetScreen(&app);
  for (int32_t key : {1, 2, 5, 6, 7, 8, 9, 10}) {
    SCOPED_TRACE(key);
    input = CScriptedInputReader();
    input.Key(key);
    input.NoTouch();
    const bool opens = key == 5 || key == 6;
    if (opens) Script({"Back"});
    loop->ProcessEvents();
    EXPECT_EQ(opens ? 1u : 0u, TakeShown().size());
    EXPECT_TRUE(input.keys.empty());
  }
}

// EditOnKeyboard: the keyboard that bit 3 chooses edits a bounded copy of
// the text (a text of 200 characters or more is cut to 199) with the title
// and maximum length; the result becomes the text, and a redraw is asked for
// even when the keyboard's own request was spent.
TEST_F(InputTest, EditOnKeyboard) {
  struct Case {
    const char* name;
    int32_t flags;
    const char* text;  // null: the field has none
    std::vector<KeyStep> steps;
    bool digits;
    std::string edited;
    std::string topLine;
  };
  const std::string x199(199, 'x'), x200(200, 'x'), x250(250, 'x');
  const Case cases[] = {
      {"letters", 0x2C0, "", {"K", "A", "Back"}, false, "Ka", "Content: Ka"},
      {"digits with bit 3", 0x2C8, "1", {Digit("7"), Digit("ABC"), Digit("Back")}, true, "17", "Content: 17"},
      {"no text", 0x2C0, nullptr, {"Back"}, false, "", "Content: "},
      {"199 characters", 0x2C0, x199.c_str(), {"Back"}, false, x199, "Content: " + x199.substr(0, 30)},
      {"200 characters", 0x2C0, x200.c_str(), {"<", "Back"}, false, std::string(198, 'x'), ""},
      {"250 characters", 0x2C0, x250.c_str(), {"Back"}, false, x199, ""},
  };
  CUIEventLoop* loop = GetEventLoop();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    loop->SetScreen(nullptr);
    sleeps = 0;
    field->SetText(c.text);
    field->keyboardFlags = c.flags;
    Script(c.steps);
    // Spend the keyboard's redraw request on its last pass: the field must ask again.
    auto record = eachSleep;
    eachSleep = [&](int n) {
      record(n);
      if (loop->quitRequested) loop->redrawRequested = false;
    };
    field->EditOnKeyboard();
    eachSleep = record;
    CUIKeyboardScreen* keyboard = c.digits ? static_cast<CUIKeyboardScreen*>(GetNumericKeyboard()) : GetKeyboard();
    EXPECT_EQ((std::vector<MUIWidget*>{keyboard}), TakeShown());
    EXPECT_EQ(c.edited, field->text);
    EXPECT_TRUE(loop->redrawRequested);
    EXPECT_LT(sleeps, kSleepLimit);
    if (!c.topLine.empty()) {
      EXPECT_EQ(c.topLine, keyboard->display);
    }
    EXPECT_EQ(20, keyboard->maxLength);
    if (c.digits) {
      EXPECT_FALSE(GetNumericKeyboard()->lettersKey->enabled);
    }
  }
}

}  // namespace
