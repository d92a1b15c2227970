// The file screen as a reviewed picture: a short file in DejaVu Sans, its
// third line selected, a carriage return and a long line among them.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "app/file_screen.h"
#include "app/globals.h"
#include "tests/support/golden.h"
#include "tests/support/sandbox_guard.h"
#include "tests/support/skin_folder.h"
#include "ui/skin.h"

namespace {

TEST(FileScreenGolden, AFileWithASelectedLine) {
  KESTREL_REQUIRE_SANDBOX();
  ResetGlobalsForTesting();
  CSkinFolder skin;
  ASSERT_TRUE(skin.DescribeDejaVu(true, true));
  skin.Install();
  // A fixed path: the title shows it.
  mkdir("/mnt/sdcard", 0755);
  mkdir("/mnt/sdcard/Documents", 0755);
  const std::string path = "/mnt/sdcard/Documents/notes.txt";
  std::ofstream(path, std::ios::binary) << "Route to the harbour\r\n"
                                           "Fuel: 42 litres\n"
                                           "Stop at the old lighthouse, then follow the coast road north for twelve km\n"
                                           "\n"
                                           "Call ahead\n";
  CFile_Screen screen;
  GetSkin()->SetColorScheme(screen.ColorSchemeIndex());  // as its modal run shows it
  screen.Refresh_Screen(path.c_str(), true);
  screen.List()->selected = 2;
  screen.Draw();
  EXPECT_TRUE(MatchesGolden(*GetVirtualScreen(), "app_file_screen"));
  unlink(path.c_str());
  ResetGlobalsForTesting();
}

}  // namespace
