// Both keyboards as reviewed pictures, in DejaVu Sans: the letters keyboard
// with a title and a typed text, and the digits keyboard opened from it on
// the same text; each taken once the cursor shows after the typing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/golden.h"
#include "tests/support/keyboard_script.h"
#include "tests/support/skin_folder.h"
#include "ui/keyboard.h"

namespace {

class KeyboardGolden : public CKeyboardFixture {
 public:
  void SetUp() override {
    CKeyboardFixture::SetUp();
    ASSERT_TRUE(skin.LinkFace("DejaVuSans"));
    skin.Write("ControlFont.txt", "DejaVuSans 16\n0 0 0\n");
    skin.Write("ButtonFont.txt", "DejaVuSans 18\n");
    skin.Install();
  }

  // Types the steps on the letters keyboard, then compares the screen with
  // the golden once the cursor shows on `shown`, and leaves.
  void Capture(const std::vector<KeyStep>& steps, CUIKeyboardScreen* shown, const char* title, const char* golden) {
    Script(steps);
    bool captured = false;
    eachSleep = [&](int) {
      CUIEventLoop* loop = GetEventLoop();
      if (captured || !input.touches.empty() || loop->GetScreen() != shown || !shown->cursorShown) return;
      captured = true;
      EXPECT_TRUE(MatchesGolden(display, golden));
      loop->quitRequested = true;
    };
    char text[21] = "";
    EXPECT_TRUE(GetKeyboard()->EditText(text, title, 20, 0x2C0));
    EXPECT_TRUE(captured);
  }

  CSkinFolder skin;
};

TEST_F(KeyboardGolden, Letters) {
  Capture({"H", "E", "L", "L", "O", " ", "W", "O", "R", "L", "D"}, GetKeyboard(), "Name", "ui_keyboard_letters");
}

TEST_F(KeyboardGolden, DigitsOverTheLetters) {
  Capture({"P", "123", Digit("1"), Digit("9"), Digit("2"), Digit("."), Digit("1"), Digit("6"), Digit("8")},
          GetNumericKeyboard(), "Address", "ui_keyboard_digits");
}

}  // namespace
