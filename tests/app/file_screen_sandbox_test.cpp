// The file screen's trace lines, byte for byte in the debug log on the card,
// and a file the program's user may not read.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "app/debug_log.h"
#include "app/file_screen.h"
#include "app/globals.h"
#include "tests/support/recording_screen.h"
#include "tests/support/sandbox_guard.h"
#include "tests/support/skin_folder.h"
#include "tests/support/temp_dir.h"

namespace {

constexpr const char* kLogPath = "/mnt/sdcard/debug.txt";

class FileScreenSandboxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGlobalsForTesting();
    mkdir("/mnt/sdcard", 0755);
    unlink(kLogPath);
    skin.Install();
  }
  void TearDown() override {
    DebugLogClose();
    unlink(kLogPath);
    ResetGlobalsForTesting();
  }

  CRecordingVirtualScreen display;
  CSkinFolder skin;
  TempDir dir;
};

TEST_F(FileScreenSandboxTest, TraceLines) {
  KESTREL_REQUIRE_SANDBOX();
  const std::string path = dir.Write("t.txt", "one\ntwo");
  DebugLogOpen();
  ASSERT_TRUE(DebugLogIsOpen());
  auto screen = std::make_unique<CFile_Screen>();
  screen->Refresh_Screen(path.c_str(), true);
  screen->Refresh_Screen(path.c_str(), false);
  screen->List()->selected = 1;
  for (int32_t tag = 1; tag <= 4; ++tag) screen->FiredPressEvent(screen->Button(tag));
  DebugLogClose();

  const std::string fill =
      "File : Draw_File_Content : debut\n"
      "File : Draw_File_Content : on a vid\xE9 la liste\n";
  const std::string fromFile = fill +
                               "File : Draw_File_Content : on reprend le contenu du fichier\n"
                               "File : Draw_File_Content : on a ouvert le fichier\n"
                               "File : Draw_File_Content : on a ferm\xE9 le fichier\n"
                               "File : Draw_File_Content : fin\n";
  auto refresh = [&](const std::string& content) {
    return "File : Refresh_Screen : debut\n" + path + "\n" + content +
           "File : Refresh_Screen : on a rempli la liste\n"
           "File : Refresh_Screen : on a dessin\xE9 la liste\n"
           "File : Refresh_Screen : fin\n";
  };
  const std::string expected =
      // Construction: file_path is empty, so the file is not opened.
      "File : Constructor : debut\n"
      "File : Constructor : on a cr\xE9\xE9 file_name\n"
      "File : Constructor : on a cr\xE9\xE9 la liste\n" +
      fill +
      "File : Draw_File_Content : on reprend le contenu du fichier\n"
      "File : Draw_File_Content : fin\n"
      "File : Constructor : on a rempli la liste\n"
      "File : Constructor : on a cr\xE9\xE9 le bouton delete\n"
      "File : Constructor : on a cr\xE9\xE9 le bouton delete\n"
      "File : Constructor : on a cr\xE9\xE9 le bouton save\n"
      "File : Constructor : fin\n" +
      refresh(fromFile) +
      refresh(fill +
              "File : Draw_File_Content : on reprend le contenu du tableau\n"
              "File : Draw_File_Content : on a repris le contenu du tableau\n"
              "File : Draw_File_Content : fin\n") +
      "File : FiredPressEvent : debut\n"
      "File : FiredPressEvent : iTag 1\n"
      "File : fin FiredPressEvent : iTag 1\n"
      "File : FiredPressEvent : fin\n"
      "File : FiredPressEvent : debut\n"
      "File : FiredPressEvent : iTag 2\n"
      "File : fin FiredPressEvent : iTag 2\n"
      "File : FiredPressEvent : fin\n"
      "File : FiredPressEvent : debut\n"
      "File : FiredPressEvent : iTag 3\n"
      "File : fin FiredPressEvent : iTag 3\n"
      "File : FiredPressEvent : fin\n"
      "File : FiredPressEvent : debut\n"
      "File : debut FiredPressEvent : iTag 4\n"
      "File : fin FiredPressEvent : iTag 4\n"
      "File : FiredPressEvent : fin\n";
  EXPECT_EQ(expected, ReadWholeFile(kLogPath));
  EXPECT_EQ("two", line_text);
  EXPECT_EQ(file_closed, status);
}

TEST_F(FileScreenSandboxTest, AnUnreadableFileShowsNothing) {
  KESTREL_REQUIRE_SANDBOX();
  ASSERT_NE(0u, geteuid()) << "the sandbox runs the tests as an unprivileged user";
  const std::string path = dir.Write("secret.txt", "hidden\n");
  ASSERT_EQ(0, chmod(path.c_str(), 0));
  file_lines.Append("earlier");
  CFile_Screen screen;
  screen.Refresh_Screen(path.c_str(), true);
  EXPECT_EQ(0u, screen.List()->GetItemCount());
  ASSERT_EQ(1u, file_lines.Size());
  EXPECT_STREQ("earlier", file_lines.Text(0));
}

}  // namespace
