#include "ui/button.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "gfx/courier_font.h"
#include "tests/support/fake_clock.h"
#include "tests/support/recording_screen.h"
#include "tests/support/ui_recorder.h"
#include "ui/label.h"

namespace {

class ButtonTest : public ::testing::Test {
 public:
  void SetUp() override {
    display.onFlush = [this] {
      log.push_back(std::string("flush ") + (button->IsPressed() ? "pressed" : "released") + " at " +
                    std::to_string(clock.MonotonicMicroseconds()));
    };
    button = new CUIButton(UIRect(40, 50, 100, 30), "OK", &listener);
    button->iTag = 7;
    screen.AddChild(button);
  }
  bool Touch(int32_t x, int32_t y, int32_t pressure) {
    InputEvent e = {x, y, pressure};
    return button->OnTouch(e);
  }
  // The colours painted inside the button's box.
  std::set<Color> Colours() {
    std::set<Color> seen;
    for (int32_t x = 44; x <= 136; ++x)
      for (int32_t y = 54; y <= 76; ++y) seen.insert(display.PixelAt(x, y));
    return seen;
  }

  CFakeClock clock;
  CRecordingVirtualScreen display;
  CEventLog log;
  CRecordingListener listener{log};
  CTestScreen screen{log, "S"};
  CUIButton* button = nullptr;
};

// Scheme 2: face 0x0193, text white, disabled silver, highlight red.
TEST_F(ButtonTest, StateColours) {
  struct Case {
    bool enabled, focused, pressed;
    Color fill, ink;
  };
  const Case cases[] = {
      {true, false, false, 0x0193, colorWhite},  {true, false, true, colorWhite, 0x0193},
      {false, false, false, 0x0193, colorSilver}, {false, false, true, colorSilver, 0x0193},
      {true, true, false, 0x0193, colorRed},     {true, true, true, colorRed, 0x0193},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.enabled << c.focused << c.pressed);
    display.Pixels().Fill(0);
    button->enabled = c.enabled;
    button->focused = c.focused;
    if (c.pressed) Touch(60, 60, 1);
    else Touch(0, 0, 0);
    EXPECT_EQ(c.fill, display.PixelAt(45, 65));  // left of the centred text
    EXPECT_EQ((std::set<Color>{c.fill, c.ink}), Colours());
    // The cut corner leaves the box's outermost pixel unpainted.
    EXPECT_EQ(0, display.PixelAt(40, 50));
    EXPECT_EQ(c.fill, display.PixelAt(44, 50));
  }
}

TEST_F(ButtonTest, ReleaseInsideFiresOnceReleaseOutsideOnlyPopsUp) {
  EXPECT_TRUE(Touch(60, 60, 1));
  EXPECT_TRUE(Touch(62, 61, 1));  // moving: no second press drawing
  EXPECT_TRUE(button->IsPressed());
  EXPECT_TRUE(Touch(70, 60, 0));
  EXPECT_FALSE(button->IsPressed());
  EXPECT_EQ((CEventLog{"fired 7"}), log);
  log.clear();
  Touch(60, 60, 1);
  EXPECT_TRUE(Touch(200, 60, 0));  // the group's release where the pen went
  EXPECT_FALSE(button->IsPressed());
  EXPECT_TRUE(log.empty());
}

TEST_F(ButtonTest, SelectKeyFlashesThenFires) {
  int32_t key = 6;
  EXPECT_TRUE(button->OnKey(key));
  EXPECT_EQ((CEventLog{"flush pressed at 0", "flush released at 50000", "fired 7"}), log);
  EXPECT_EQ(1, clock.Sleeps());
  for (int32_t other : {1, 2, 3, 4, 5, 7, 8, 9, 10, 0}) {
    key = other;
    EXPECT_FALSE(button->OnKey(key)) << other;
  }
  EXPECT_EQ(1, clock.Sleeps());
}

TEST_F(ButtonTest, WithoutListenerOrText) {
  CUIButton* bare = new CUIButton(UIRect(10, 10, 20, 20), nullptr, nullptr);
  screen.AddChild(bare);
  InputEvent down = {15, 15, 1}, up = {15, 15, 0};
  EXPECT_TRUE(bare->OnTouch(down));
  EXPECT_TRUE(bare->OnTouch(up));
  int32_t key = 6;
  EXPECT_TRUE(bare->OnKey(key));
  EXPECT_EQ(0x0193, display.PixelAt(20, 20));
}

TEST_F(ButtonTest, LabelsDrawOverTheirGroupsBackgroundAndRefuseFocus) {
  screen.paints = true;
  auto* label = new CUILabel(UIRect(10, 100, 200, 20), "Title");
  screen.AddChild(label);
  EXPECT_FALSE(label->enabled);
  EXPECT_FALSE(label->SetEnabled(true));
  EXPECT_FALSE(label->SetFocus(true));
  EXPECT_FALSE(label->enabled || label->focused);
  EXPECT_EQ(3, label->fontIndex);
  InputEvent e = {20, 105, 1};
  int32_t key = 6;
  EXPECT_FALSE(label->OnTouch(e));
  EXPECT_FALSE(label->OnKey(key));

  struct Case {
    Color textColor;
    Color expected;
  };
  for (const Case& c : {Case{0, colorWhite}, Case{colorYellow, colorYellow}}) {
    display.Pixels().Fill(0x1234);
    label->textColor = c.textColor;
    EXPECT_EQ(c.expected, label->GetTextColor());
    label->Draw();
    std::set<Color> seen;
    for (int32_t x = 10; x <= 210; ++x)
      for (int32_t y = 104; y <= 116; ++y) seen.insert(display.PixelAt(x, y));
    // The screen's scheme-2 background under the label, the text on it.
    EXPECT_EQ((std::set<Color>{0x3339, c.expected}), seen);
    EXPECT_EQ(0x1234, display.PixelAt(10, 130));  // nothing outside
  }
}

// A text wider than its label is cut at the label's erased area, so a short
// text drawn after it leaves no glyph of the long one behind.
TEST_F(ButtonTest, ALabelsTextStaysInsideWhatItErases) {
  screen.paints = true;
  auto* label = new CUILabel(UIRect(10, 100, 100, 20), std::string(40, 'W').c_str());
  label->SetFont(GetFixedFont(2));
  screen.AddChild(label);
  display.Pixels().Fill(0x1234);
  label->Draw();
  int inside = 0;
  for (int32_t x = 0; x < 320; ++x)
    for (int32_t y = 95; y < 125; ++y) {
      if (display.PixelAt(x, y) != colorWhite) continue;
      EXPECT_LE(x, 106) << y;  // the columns its rounded erase covers whole
      ++inside;
    }
  EXPECT_GT(inside, 0);
  label->SetText("W");
  label->Draw();
  for (int32_t x = 30; x < 320; ++x)
    for (int32_t y = 95; y < 125; ++y) EXPECT_NE(colorWhite, display.PixelAt(x, y)) << x << "," << y;
}

}  // namespace
