// The state machine leaves a finished level instead of nesting the next
// screen on it: the trace, passes and pictures are those of the nested
// order, and the depth of the loop stays bounded over any number of cycles.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/directory_screen.h"
#include "app/file_screen.h"
#include "app/idler.h"
#include "tests/app/app_fixture.h"
#include "ui/list_box.h"
#include "ui/ui_seams.h"

namespace {

constexpr int32_t kDirOpen[] = {80, 214};
constexpr int32_t kFileEdit[] = {41, 215}, kFileExit[] = {275, 215};
constexpr int32_t kEditSave[] = {81, 215}, kEditCancel[] = {238, 215};

class LevelsTest : public CAppFixture {
 public:
  LevelsTest() = default;
  LevelsTest(uint32_t w, uint32_t h) : CAppFixture(w, h) {}

  void SetUp() override {
    CAppFixture::SetUp();
    Dir("kestrel");
    File("kestrel/config.txt", "note\ndocs");
    Dir("docs");
    File("docs/inner.txt", "one\n");
    File("notes.txt", "alpha\nbeta\ngamma\n");
    eachPass = [this] { deepest = std::max(deepest, GetEventLoop()->RunDepth()); };
  }
  void Press(const int32_t (&at)[2]) { Tap(at[0], at[1]); }
  void TapRow(CUIListBox* list, int32_t row) {
    const int32_t h = list->GetItemHeight(0);
    Tap(list->rect.x + 20, list->rect.y + row * h + h / 2);
  }
  // Directory -> file -> directory and file -> edit line -> file cycles,
  // a folder entered and left, as a user goes.
  void Script() {
    for (int cycle = 0; cycle < 3; ++cycle) {
      Then([this] { TapRow(p_dir_screen->List(), 2); });
      Then([this] { Press(kDirOpen); });
      Then([this] {
        TapRow(p_file_screen->List(), 1);
        Press(kFileEdit);
      });
      Then([this] { Press(kEditSave); });
      Then([this] { Press(kFileEdit); });
      Then([this] { Press(kEditCancel); });
      Then([this] { Press(kFileExit); });
    }
    Then([this] { TapRow(p_dir_screen->List(), 1); });
    Then([this] { Press(kDirOpen); });
    Then([this] { TapRow(p_dir_screen->List(), 0); });
    Then([this] { Press(kDirOpen); });
  }
  // A second run in the same process starts as the first did.
  void ResetBetweenRuns() {
    ResetApplicationForTesting();
    ResetUIForTesting();
    display.Pixels().Fill(0);
    input = CScriptedInputReader();
    deepest = 0;
  }

  int32_t deepest = 0;
};

TEST_F(LevelsTest, UnwoundLevelsKeepTheNestedOrder) {
  idler.SetNestingForTesting(true);
  Script();
  Run();
  const std::vector<std::string> nested = UntilStop(TakeLog());
  const int32_t nestedDepth = deepest;

  ResetBetweenRuns();
  Script();
  Run();
  const std::vector<std::string> unwound = UntilStop(TakeLog());

  // Every trace line, pass and flushed picture in the same order.
  EXPECT_EQ(nested, unwound);
  EXPECT_GT(std::count(unwound.begin(), unwound.end(), std::string("Idle : debut status = file_requested_from_line")), 5);
  EXPECT_EQ(2, deepest) << "the main run and the screen shown";
  EXPECT_GE(nestedDepth, 9) << "the nested order adds a level per cycle";
}

class ManyCycles : public LevelsTest {
 public:
  // A small display: the cycles, not the pixels, are under test.
  ManyCycles() : LevelsTest(96, 72) {}
};

// 10,000 directory -> file -> directory cycles, made by the screens' own
// requests, at a depth of two levels.
TEST_F(ManyCycles, DepthStaysBounded) {
  constexpr int kCycles = 10000;
  int cycles = 0;
  settleStops = false;
  markPasses = markFlushes = false;
  eachPass = [&] {
    deepest = std::max(deepest, GetEventLoop()->RunDepth());
    if (status == directory_active) {
      if (cycles == kCycles) {
        stopping = true;
        return;
      }
      ++cycles;
      file_path = "/mnt/sdcard//notes.txt";
      status = file_requested_from_dir;
    } else if (status == file_active) {
      status = file_closed;
    }
  };
  Run(false);
  EXPECT_EQ(kCycles, cycles);
  EXPECT_EQ(2, deepest);
  EXPECT_EQ(4u, file_lines.Size());
}

}  // namespace
