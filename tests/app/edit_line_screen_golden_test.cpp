// The edit-line screen in DejaVu Sans, its field holding a typed text.
#include <gtest/gtest.h>

#include "app/app_seams.h"
#include "app/edit_line_screen.h"
#include "tests/support/golden.h"
#include "tests/support/recording_screen.h"
#include "tests/support/skin_folder.h"
#include "ui/skin.h"

namespace {

TEST(EditLineScreenGolden, FieldWithText) {
  CRecordingVirtualScreen display;
  CSkinFolder skin;
  ASSERT_TRUE(skin.DescribeDejaVu(true, true));
  skin.Install();
  {
    CEditLine_Screen screen;
    GetSkin()->SetColorScheme(screen.ColorSchemeIndex());  // as its modal run shows it
    screen.Input()->SetText("Hello world 42");
    screen.Draw();
    EXPECT_TRUE(MatchesGolden(display.Pixels(), "app_edit_line_screen"));
  }
  ResetApplicationForTesting();
}

}  // namespace
