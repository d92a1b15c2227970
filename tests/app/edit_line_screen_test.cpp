// The edit-line screen's two buttons and its field, which keeps its text
// from one visit to the next.
#include "app/edit_line_screen.h"

#include <gtest/gtest.h>

#include "app/app_seams.h"
#include "app/globals.h"
#include "tests/support/recording_screen.h"

namespace {

class EditLineScreenTest : public ::testing::Test {
 protected:
  void TearDown() override { ResetApplicationForTesting(); }
  CRecordingVirtualScreen display;
};

TEST_F(EditLineScreenTest, LayoutOnTheDeviceScreen) {
  CEditLine_Screen screen;
  const UIRect in = screen.Input()->rect, save = screen.SaveButton()->rect, cancel = screen.CancelButton()->rect;
  EXPECT_EQ((std::vector<int32_t>{5, 46, 310, 18}), (std::vector<int32_t>{in.x, in.y, in.width, in.height}));
  EXPECT_EQ((std::vector<int32_t>{5, 195, 152, 40}), (std::vector<int32_t>{save.x, save.y, save.width, save.height}));
  EXPECT_EQ((std::vector<int32_t>{162, 195, 152, 40}),
            (std::vector<int32_t>{cancel.x, cancel.y, cancel.width, cancel.height}));
  EXPECT_STREQ("Save & Exit", screen.SaveButton()->text);
  EXPECT_STREQ("Cancel", screen.CancelButton()->text);
  EXPECT_STREQ("Content", screen.Input()->title);
  EXPECT_EQ(20, screen.Input()->maxLength);
  EXPECT_EQ(0x2C0, screen.Input()->keyboardFlags);
  EXPECT_EQ(10, screen.ColorSchemeIndex());
}

TEST_F(EditLineScreenTest, SaveTakesTheFieldCancelKeepsTheLine) {
  CEditLine_Screen screen;
  line_text = "old line";
  // The field is not loaded with the line: a first edit starts empty.
  screen.Refresh_Screen(line_text.data(), static_cast<uint32_t>(line_text.size()));
  EXPECT_STREQ("", screen.Input()->text);

  screen.Input()->SetText("typed");
  screen.FiredPressEvent(screen.CancelButton());
  EXPECT_EQ(editline_finished, status);
  EXPECT_EQ("old line", line_text);

  status = editline_active;
  screen.Refresh_Screen(line_text.data(), static_cast<uint32_t>(line_text.size()));
  EXPECT_STREQ("typed", screen.Input()->text) << "the field keeps its text between visits";
  screen.FiredPressEvent(screen.SaveButton());
  EXPECT_EQ(editline_finished, status);
  EXPECT_EQ("typed", line_text);

  status = editline_active;
  screen.FiredPressEvent(screen.Input());
  EXPECT_EQ(editline_active, status) << "only the two buttons act";
}

}  // namespace
