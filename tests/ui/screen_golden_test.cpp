// Whole screens of the toolkit as reviewed pictures: a scheme-10 screen with
// a title and buttons in every state, once in the built-in font and once in
// DejaVu Sans, and a screen over a BMP background.
#include <gtest/gtest.h>

#include <string>

#include "tests/gfx/bmp_fixture.h"
#include "tests/support/golden.h"
#include "tests/support/skin_folder.h"
#include "ui/button.h"
#include "ui/label.h"
#include "ui/screen.h"
#include "ui/skin.h"

namespace {

// A 320 x 240 picture: a soft diagonal blend from blue to green.
std::string BlendBmp() {
  BmpFixture f;
  f.width = 320;
  f.height = 240;
  for (int32_t y = 239; y >= 0; --y)
    for (int32_t x = 0; x < 320; ++x) {
      f.pixels.push_back(static_cast<uint8_t>(200 - y / 2));         // blue
      f.pixels.push_back(static_cast<uint8_t>(60 + (x + y) / 4));    // green
      f.pixels.push_back(static_cast<uint8_t>(20 + x / 8));          // red
    }
  return f.Bytes();
}

// The scheme-10 screen: title, the four button states and a wrapped label.
void DrawStatesScreen() {
  CUIScreen screen(10);
  screen.SetColorSchemeIndex(10);
  auto* title = new CUILabel(UIRect(10, 8, 300, 24), "Buttons in every state");
  title->textColor = colorYellow;
  title->textFlags = kTextCentreX;
  screen.AddChild(title);
  const char* names[] = {"Normal", "Pressed", "Disabled", "Focused"};
  CUIButton* buttons[4];
  for (int i = 0; i < 4; ++i) {
    buttons[i] = new CUIButton(UIRect(10 + 160 * (i % 2), 44 + 50 * (i / 2), 140, 36), names[i], nullptr);
    buttons[i]->iTag = i + 1;
    screen.AddChild(buttons[i]);
  }
  auto* note = new CUILabel(UIRect(10, 150, 300, 80),
                            "A label of several words wraps onto the lines below it, word by word.");
  note->textFlags = kTextMultiLine;
  screen.AddChild(note);
  buttons[2]->SetEnabled(false);
  buttons[3]->SetFocus(true);
  screen.Draw();
  InputEvent down = {buttons[1]->rect.x + 5, buttons[1]->rect.y + 5, 1};
  buttons[1]->OnTouch(down);
}

TEST(ScreenGolden, SchemeTenInTheBuiltInFont) {
  CSkinFolder empty;
  empty.Install();
  DrawStatesScreen();
  EXPECT_TRUE(MatchesGolden(*GetVirtualScreen(), "ui_states_fixed_font"));
}

TEST(ScreenGolden, SchemeTenInDejaVuSans) {
  CSkinFolder skin;
  ASSERT_TRUE(skin.DescribeDejaVu(true, true));
  skin.Install();
  DrawStatesScreen();
  EXPECT_TRUE(MatchesGolden(*GetVirtualScreen(), "ui_states_dejavu_sans"));
}

TEST(ScreenGolden, ScreenOverABmpBackground) {
  CSkinFolder skin;
  // No control description: the buttons show the fixed font it falls back to.
  ASSERT_TRUE(skin.DescribeDejaVu(false, false));
  skin.Write("Back.bmp", BlendBmp());
  skin.Install();
  CUIScreen screen(2);
  auto* title = new CUILabel(UIRect(10, 10, 300, 24), "Over a picture");
  screen.AddChild(title);
  screen.AddChild(new CUIButton(UIRect(20, 180, 120, 40), "Open", nullptr));
  screen.AddChild(new CUIButton(UIRect(180, 180, 120, 40), "Exit", nullptr));
  screen.Draw();
  EXPECT_TRUE(MatchesGolden(*GetVirtualScreen(), "ui_bmp_background"));
}

}  // namespace
