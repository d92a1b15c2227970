// The state machine through the real event loop: the program's entry on a
// card in the sandbox, driven by scripted taps, with every trace line, pass
// and flush in the debug log.
#include "app/idler.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/directory_screen.h"
#include "app/edit_line_screen.h"
#include "app/file_screen.h"
#include "app/server_link.h"
#include "tests/app/app_fixture.h"
#include "tests/support/find_key.h"
#include "ui/keyboard.h"
#include "ui/list_box.h"

namespace {

class IdlerTest : public CAppFixture {
 public:
  void SetUp() override {
    CAppFixture::SetUp();
    MakeNotesCard();
  }
  // Types on the letters keyboard and leaves it with "Back".
  void Type(const std::vector<const char*>& keys) {
    for (const char* k : keys) {
      MUIWidget* key = FindKey(GetKeyboard(), k);
      ASSERT_NE(nullptr, key) << k;
      TapWidget(key);
    }
    TapWidget(FindKey(GetKeyboard(), "Back"));
  }
  // The "Idle" trace lines, the state machine's own.
  static std::vector<std::string> IdleLines(const std::vector<std::string>& lines) {
    return Starting(UntilStop(lines), "Idle : ");
  }
};

TEST_F(IdlerTest, FirstPassesShowTheDirectoryScreen) {
  Idle(3);
  Run();
  const std::vector<std::string> lines = UntilStop(TakeLog());
  std::vector<std::string> idle = IdleLines(lines);
  ASSERT_GE(idle.size(), 4u);
  EXPECT_EQ((std::vector<std::string>{"Idle : debut status = initialization", "Idle : fin status = initialization",
                                      "Idle : debut status = directory_requested", "Idle : status = directory_active"}),
            std::vector<std::string>(idle.begin(), idle.begin() + 4));
  // The directory screen stays shown: its level does not end.
  EXPECT_EQ(idle.end(), std::find(idle.begin(), idle.end(), "Idle : fin status = directory_requested"));
  // One state per pass: both init lines in the first, the show in the second.
  const auto first = std::find(lines.begin(), lines.end(), "Idle : fin status = initialization");
  const auto second = std::find(lines.begin(), lines.end(), "Idle : debut status = directory_requested");
  ASSERT_LT(first, second);
  EXPECT_EQ(1, std::count(first, second, std::string("-- pass")));
  EXPECT_EQ(p_dir_screen, static_cast<CDirectory_Screen*>(GetEventLoop()->GetScreen()));
  EXPECT_EQ("/mnt/sdcard/", dir_path);
}

// Open notes.txt, edit beta to "Hi" (the field starts empty), edit alpha
// without typing (the field still holds "Hi"), cancel an edit of gamma, leave
// the file and open it again: it is read from the card, the edits are gone.
TEST_F(IdlerTest, OpenEditSaveCancelExitAndReopen) {
  std::vector<std::string> fieldOnShow;
  std::vector<std::string> afterEdits;
  Then([&] { TapRow(p_dir_screen->List(), 2); });
  Then([&] { Press(kDirOpen); });
  Then([&] {
    ASSERT_EQ(p_file_screen, static_cast<CFile_Screen*>(GetEventLoop()->GetScreen()));
    TapRow(p_file_screen->List(), 1);
    Press(kFileEdit);
  });
  Then([&] {
    fieldOnShow.push_back(p_edit_screen->Input()->text);
    Press(kEditInput);
    Type({"H", "I"});  // capitals come automatically at the start only
  });
  Then([&] { Press(kEditSave); });
  Then([&] {
    ASSERT_EQ(p_file_screen, static_cast<CFile_Screen*>(GetEventLoop()->GetScreen()));
    EXPECT_STREQ("Hi", p_file_screen->List()->GetItem(1)) << "the file screen comes from file_lines";
    EXPECT_EQ(1, p_file_screen->List()->selected) << "the selection is kept";
    TapRow(p_file_screen->List(), 0);
    Press(kFileEdit);
  });
  Then([&] {
    fieldOnShow.push_back(p_edit_screen->Input()->text);
    Press(kEditSave);
  });
  Then([&] {
    TapRow(p_file_screen->List(), 2);
    Press(kFileEdit);
  });
  Then([&] { Press(kEditCancel); });
  Then([&] {
    for (uint32_t i = 0; i < file_lines.Size(); ++i) afterEdits.push_back(file_lines.Text(i));
    Press(kFileExit);
  });
  Then([&] {
    ASSERT_EQ(p_dir_screen, static_cast<CDirectory_Screen*>(GetEventLoop()->GetScreen()));
    Press(kDirOpen);  // notes.txt is still selected
  });
  Run();
  const std::vector<std::string> idle = IdleLines(TakeLog());

  EXPECT_EQ((std::vector<std::string>{"", "Hi"}), fieldOnShow);
  EXPECT_EQ((std::vector<std::string>{"Hi", "Hi", "gamma", ""}), afterEdits);
  EXPECT_EQ(4u, file_lines.Size());
  EXPECT_STREQ("alpha", file_lines.Text(0));
  EXPECT_STREQ("beta", file_lines.Text(1)) << "reopening reads the card again";
  EXPECT_EQ("/mnt/sdcard//notes.txt", file_path);

  // The state machine's steps, without the lines of its idle passes.
  std::vector<std::string> steps;
  for (const std::string& l : idle)
    if (l.find(" debut ") != std::string::npos || l.find(" fin ") != std::string::npos) steps.push_back(l);
  const std::vector<std::string> edit = {
      "Idle : debut status = editline_requested", "Idle : debut status = editline_finished",
      "Idle : fin status = editline_finished",    "Idle : fin status = editline_requested",
      "Idle : debut status = file_requested_from_line"};
  std::vector<std::string> expected = {"Idle : debut status = initialization", "Idle : fin status = initialization",
                                       "Idle : debut status = directory_requested",
                                       "Idle : debut status = file_requested_from_dir"};
  for (int i = 0; i < 3; ++i) expected.insert(expected.end(), edit.begin(), edit.end());
  expected.insert(expected.end(), {"Idle : debut status = file_closed", "Idle : fin status = file_closed",
                                   "Idle : fin status = file_requested_from_line",
                                   "Idle : debut status = directory_requested",
                                   "Idle : debut status = file_requested_from_dir"});
  EXPECT_EQ(expected, steps);
}

// "Exit" ends the process on the pass after the next, with status 0, after
// the link was closed; nothing runs after the last step.
TEST_F(IdlerTest, ExitEndsTheProcessWithStatusZero) {
  EXPECT_EXIT(
      {
        eachPass = [] { DebugLog(ServerLinkIsOpen() ? "-- link open" : "-- link closed"); };
        Then([&] { Press(kDirExit); });
        Run();
      },
      ::testing::ExitedWithCode(0), "");
  std::vector<std::string> lines = TakeLog();
  const auto exitStep = std::find(lines.begin(), lines.end(), "Idle : debut status = exit_requested");
  ASSERT_NE(lines.end(), exitStep);
  EXPECT_EQ((std::vector<std::string>{"Idle : debut status = exit_requested", "Idle : fin status = exit_requested",
                                      "-- pass", "-- link closed", "Idle : debut status = exit_completed"}),
            std::vector<std::string>(exitStep, lines.end()));
  // Exit was released in the pass before, with the link still open.
  const auto released = std::find(lines.begin(), exitStep, "Dir : FiredPressEvent : debut iTag = 2");
  ASSERT_NE(exitStep, released);
  EXPECT_EQ(1, std::count(released, exitStep, std::string("-- pass")));
  EXPECT_EQ("-- link open", *(exitStep - 1));
}

}  // namespace
