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

class LevelsTest : public CAppFixture {
 public:
  LevelsTest() = default;
  LevelsTest(uint32_t w, uint32_t h) : CAppFixture(w, h) {}

  void SetUp() override {
    CAppFixture::SetUp();
    MakeNotesCard();
    eachPass = [this] { deepest = std::max(deepest, GetEventLoop()->RunDepth()); };
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
    // A burst without pauses, pen and remote together: samples arrive in the
    // very passes where screens change, on whichever screen is current (no
    // tap reaches the directory screen's Exit, which would end the process).
    Then([this] {
      const int32_t row2 = 26 + 2 * p_dir_screen->List()->GetItemHeight(0) + 3;
      const int32_t points[][2] = {{40, row2},     {kDirOpen[0], kDirOpen[1]},   {40, 40},
                                   {kFileEdit[0], kFileEdit[1]}, {kEditSave[0], kEditSave[1]},
                                   {kFileEdit[0], kFileEdit[1]}, {kEditCancel[0], kEditCancel[1]},
                                   {120, 215},  {kDirOpen[0], kDirOpen[1]}};
      int32_t key = 0;
      for (const auto& p : points) {
        Pass(InputEvent{p[0], p[1], 1}, key++ % 3 == 0 ? std::optional<int32_t>(2) : std::nullopt);
        Pass(InputEvent{p[0], p[1], 0});
      }
    });
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
  EXPECT_EQ(nested.size(), unwound.size());
  const auto diff = std::mismatch(nested.begin(), nested.end(), unwound.begin(), unwound.end());
  if (diff.first != nested.end() || diff.second != unwound.end()) {
    const auto from = static_cast<size_t>(std::max<ptrdiff_t>(0, diff.first - nested.begin() - 12));
    std::string context;
    for (size_t i = from; i < from + 24; ++i)
      context += (i < nested.size() ? nested[i] : "<end>") + "  |  " + (i < unwound.size() ? unwound[i] : "<end>") + "\n";
    ADD_FAILURE() << "first difference at line " << diff.first - nested.begin() << " (nested | unwound):\n" << context;
  }
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
