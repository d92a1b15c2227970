// Message boxes as reviewed pictures, in DejaVu Sans on scheme 10 with a
// yellow title: one, two and three buttons.
#include <gtest/gtest.h>

#include "tests/support/golden.h"
#include "tests/support/skin_folder.h"
#include "ui/message_box.h"
#include "ui/skin.h"

namespace {

void ExpectBox(const char* title, const char* message, int32_t flags, const char* golden) {
  CSkinFolder skin;
  ASSERT_TRUE(skin.DescribeDejaVu(true, true));
  skin.Install();
  CMessageBoxScreen box(title, message, flags, 10, colorYellow, nullptr);
  GetSkin()->SetColorScheme(10);  // as its modal run shows it
  box.Draw();
  EXPECT_TRUE(MatchesGolden(*GetVirtualScreen(), golden));
}

TEST(MessageBoxGolden, OneButton) {
  ExpectBox("Warning !", "You need to select a line...", 0x20, "ui_message_box_one");
}

TEST(MessageBoxGolden, TwoButtons) {
  ExpectBox("Delete file ?", "notes.txt will be removed from the card.", 0x8 | 0x10, "ui_message_box_two");
}

TEST(MessageBoxGolden, ThreeButtons) {
  ExpectBox("Save changes ?", "The line was edited. Save it before leaving?", 0x8 | 0x10 | 0x40,
            "ui_message_box_three");
}

}  // namespace
