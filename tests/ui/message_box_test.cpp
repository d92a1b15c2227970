#include "ui/message_box.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/gfx/bmp_fixture.h"
#include "tests/support/fake_clock.h"
#include "tests/support/recording_screen.h"
#include "tests/support/scripted_input.h"
#include "tests/support/skin_folder.h"
#include "tests/support/test_environment.h"
#include "tests/support/ui_recorder.h"
#include "ui/label.h"
#include "ui/skin.h"

namespace {

std::string Describe(const CMessageBoxScreen& box) {
  std::string out;
  for (int32_t i = 0; i < CMessageBoxScreen::kMaxButtons; ++i) {
    CUIButton* b = box.ButtonAt(i);
    if (b == nullptr) continue;
    out += std::string(out.empty() ? "" : " ") + b->text + "/" + std::to_string(b->iTag) + "@" +
           std::to_string(b->rect.x) + "+" + std::to_string(b->rect.width);
  }
  return out;
}

class MessageBoxTest : public ::testing::Test {
 public:
  CFakeClock clock;
  CRecordingVirtualScreen display;
  CScriptedInputReader& input = TestInput();
};

TEST_F(MessageBoxTest, FlagsChooseTheButtonsAndTheRow) {
  struct Case {
    int32_t flags;
    const char* buttons;
  } cases[] = {
      {0x20, "OK/32@110+100"},
      {0, "OK/32@110+100"},
      {0x8 | 0x10, "Yes/8@35+106 No/16@176+106"},
      {0x80 | 0x40, "Continue/128@35+106 Cancel/64@176+106"},
      {0x20 | 0x80, "OK/32@110+100"},
      {0x100, ""},
      {0x8 | 0x10 | 0x40, "Yes/8@20+80 No/16@120+80 Cancel/64@220+80"},
      // Four asked for: the row has three slots, the first three stay.
      {0x8 | 0x10 | 0x20 | 0x40, "Yes/8@20+80 No/16@120+80 OK/32@220+80"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.flags);
    CMessageBoxScreen box("Title", "Message", c.flags, 10, 0, nullptr);
    EXPECT_EQ(c.buttons, Describe(box));
    int32_t children = 0;
    for (int32_t i = 0; i < CUIWidgetGroup::kSlots; ++i) children += box.ChildAt(i) != nullptr;
    const std::string buttons = c.buttons;
    EXPECT_EQ(2 + std::count(buttons.begin(), buttons.end(), '@'), children);  // two labels and the buttons
  }
}

TEST_F(MessageBoxTest, TitleAndMessageLabels) {
  CMessageBoxScreen titled("Warning !", "You need to select a line...", 0x20, 10, 0, nullptr);
  auto* title = static_cast<CUILabel*>(titled.ChildAt(0));
  auto* message = static_cast<CUILabel*>(titled.ChildAt(1));
  const int32_t height = static_cast<int32_t>(GetSkin()->GetFont(3)->GetTextHeight("Warning !")) + 5;
  EXPECT_EQ(20, title->rect.y);
  EXPECT_EQ(height, title->rect.height);
  EXPECT_EQ(319, title->rect.width);
  EXPECT_EQ(4, title->fontIndex);
  EXPECT_EQ(9, title->textFlags);
  EXPECT_EQ(colorRed, title->textColor);  // the scheme's highlight when no colour is given
  EXPECT_EQ(20 + height + 10, message->rect.y);
  EXPECT_EQ(190, message->rect.y + message->rect.height);
  EXPECT_EQ(0, message->textColor);

  CMessageBoxScreen bare(nullptr, "Message", 0x20, 10, colorYellow, nullptr);
  EXPECT_EQ(20, bare.ChildAt(0)->rect.y);
  EXPECT_STREQ("Message", bare.ChildAt(0)->text);
}

TEST_F(MessageBoxTest, PictureBitsAndWhoOwnsThePicture) {
  CSkinFolder skin;
  skin.Write("BlueLabirinth.bmp", Gradient24(13, 2).Bytes());
  skin.Write("RedLabirinth.bmp", Gradient24(14, 2).Bytes());
  skin.Write("GreenLabirinth.bmp", Gradient24(15, 2).Bytes());
  skin.Install();
  struct Case {
    int32_t flags;
    uint32_t width;  // 0: none
  } cases[] = {{0x1, 13}, {0x4, 14}, {0x2, 15}, {0x1 | 0x4, 14}, {0x1 | 0x2 | 0x4, 15}, {0x20, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.flags);
    CMessageBoxScreen box(nullptr, "M", c.flags, 2, 0, nullptr);
    MImage* image = box.BackgroundImage();
    EXPECT_EQ(c.width, image != nullptr ? image->GetImageWidth() : 0u);
  }  // ASan: a picture of the box's own is destroyed with it

  // A caller's picture is used whatever the bits and stays the caller's.
  auto* own = CDefaultSkin::LoadBitmap(skin.Path().c_str(), "BlueLabirinth", nullptr, false);
  ASSERT_NE(nullptr, own);
  {
    CMessageBoxScreen box(nullptr, "M", 0x2, 2, 0, own);
    EXPECT_EQ(own, box.BackgroundImage());
  }
  EXPECT_EQ(13u, own->GetImageWidth());
  delete own;
}

// The user's answer through the loop: a tap on a button, or key 4 (the
// first button takes the focus) then the select key.
TEST_F(MessageBoxTest, TheAnswerIsThePressedButtonsTag) {
  CEventLog log;
  CTestScreen under(log, "under");
  GetEventLoop()->SetScreen(&under);
  input.Touch(180, 210, 1);
  input.Touch(180, 210, 0);  // on "No"
  EXPECT_EQ(0x10, ShowMessageBox("Sure?", "Delete it?", 0x8 | 0x10, 10, colorYellow, nullptr));
  EXPECT_EQ(&under, GetEventLoop()->GetScreen());
  EXPECT_EQ(2, GetSkin()->GetColorScheme());

  input.touches.clear();
  input.NoKey();
  input.Key(4);
  input.Key(6);
  EXPECT_EQ(0x8, ShowMessageBox("Sure?", "Delete it?", 0x8 | 0x10, 10, colorYellow, nullptr));

  input.touches.clear();
  input.Touch(160, 215, 1);
  input.Touch(160, 215, 0);
  EXPECT_EQ(0x20, ShowMessageBox("Warning !", "You need to select a line...", 0x20, 10, colorYellow, nullptr));
}

TEST_F(MessageBoxTest, ANoticeIsDrawnInItsSchemeAndReturnsAtOnce) {
  display.Pixels().Fill(0);
  const int flushes = display.flushes;
  EXPECT_EQ(0, ShowMessageBox(nullptr, "Copying...", 0x100, 10, 0, nullptr));
  EXPECT_EQ(flushes + 1, display.flushes);
  EXPECT_EQ(0x3320, display.PixelAt(160, 220));  // scheme 10's background, no buttons
  EXPECT_EQ(2, GetSkin()->GetColorScheme());
  EXPECT_EQ(0, input.touchReads);
}

}  // namespace
