// The directory screen as reviewed pictures, in DejaVu Sans on a small card:
// the listing with a selection, and the warning box that Open without a
// selection shows (the toolkit's reviewed picture of that box).
#include <gtest/gtest.h>

#include <memory>

#include "app/directory_screen.h"
#include "app/globals.h"
#include "device/memory_frame_buffer.h"
#include "tests/app/card_fixture.h"
#include "tests/support/fake_clock.h"
#include "tests/support/golden.h"
#include "tests/support/recording_screen.h"
#include "tests/support/sandbox_guard.h"
#include "tests/support/scripted_input.h"
#include "tests/support/skin_folder.h"
#include "tests/support/test_environment.h"
#include "ui/event_loop.h"
#include "ui/skin.h"

namespace {

class DirectoryScreenGolden : public ::testing::Test {
 protected:
  void SetUp() override {
    KESTREL_REQUIRE_SANDBOX();
    ASSERT_TRUE(skin.DescribeDejaVu(true, true));
    skin.Install();
    ResetCard();
    for (const char* folder : {"Music", "Photos", "route archive"}) ASSERT_TRUE(MakeCardFolder(folder));
    for (const char* file : {"notes.txt", "readme.txt", "2024 trip.log", "todo.txt", ".config"})
      ASSERT_TRUE(MakeCardFile(file));
    ResetGlobalsForTesting();
    name_filters.Append("");
    screen = std::make_unique<CDirectory_Screen>();
    GetEventLoop()->SetScreen(screen.get());
    GetSkin()->SetColorScheme(CDirectory_Screen::kSchemeIndex);  // as its modal run shows it
  }
  void TearDown() override {
    GetEventLoop()->SetScreen(nullptr);
    screen.reset();
    ResetCard();
  }

  CFakeClock clock;
  CRecordingVirtualScreen display;
  CSkinFolder skin;
  std::unique_ptr<CDirectory_Screen> screen;
};

TEST_F(DirectoryScreenGolden, TheCardWithASelection) {
  screen->List()->selected = 3;  // Photos
  screen->Draw();
  EXPECT_TRUE(MatchesGolden(display, "app_directory_selection"));
}

TEST_F(DirectoryScreenGolden, OpenWithoutASelectionShowsTheWarning) {
  screen->List()->selected = -1;
  screen->Draw();
  CMemoryFrameBuffer shown(display.GetWidth(), display.GetHeight());
  bool taken = false;
  display.onFlush = [&] {
    if (taken || GetEventLoop()->GetScreen() == screen.get()) return;
    shown.Bytes() = display.Pixels().Bytes();
    taken = true;
  };
  CScriptedInputReader& input = TestInput();
  input.Touch(160, 215, 1);
  input.Touch(160, 215, 0);
  screen->FiredPressEvent(screen->OpenButton());
  display.onFlush = nullptr;
  ASSERT_TRUE(taken);
  // Exactly the toolkit's reviewed one-button box.
  EXPECT_TRUE(MatchesGolden(shown, "ui_message_box_one"));
}

}  // namespace
