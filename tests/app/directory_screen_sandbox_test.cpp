// The directory screen on a card in the device sandbox: what is listed and
// in which order, Open on each kind of item, folders that go away, and the
// trace lines of the debug log.
#include "app/directory_screen.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>
#include <vector>

#include "app/debug_log.h"
#include "app/globals.h"
#include "tests/app/card_fixture.h"
#include "tests/support/fake_clock.h"
#include "tests/support/recording_screen.h"
#include "tests/support/sandbox_guard.h"
#include "tests/support/scripted_input.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_environment.h"
#include "ui/event_loop.h"

namespace {

using Names = std::vector<std::string>;

constexpr const char* kParent = CDirectory_Screen::kBackToParent;
constexpr const char* kRoot = "/mnt/sdcard/";
constexpr const char* kLogFile = "/mnt/sdcard/debug.txt";

std::string WorkingDirectory() {
  char buffer[PATH_MAX];
  return getcwd(buffer, sizeof buffer) != nullptr ? buffer : "<none>";
}

class DirectoryScreenSandbox : public ::testing::Test {
 protected:
  // A modal run that nobody ends stops after this many passes.
  static constexpr int kPassLimit = 200;

  void SetUp() override {
    KESTREL_REQUIRE_SANDBOX();
    ResetCard();
    ResetGlobalsForTesting();
    name_filters.Append("");
    clock.onSleep = [this] {
      if (++passes >= kPassLimit) GetEventLoop()->quitRequested = true;
    };
  }
  void TearDown() override {
    DebugLogClose();
    GetEventLoop()->SetScreen(nullptr);
    ResetCard();
  }

  // The screen as start-up makes it, the event loop's screen.
  CDirectory_Screen& Make() {
    screen = std::make_unique<CDirectory_Screen>();
    GetEventLoop()->SetScreen(screen.get());
    return *screen;
  }
  Names Items() const {
    Names out;
    CUIStringListBox* list = screen->List();
    for (uint32_t i = 0; i < list->GetItemCount(); ++i) out.push_back(list->GetItem(i));
    return out;
  }
  // Selects the item with that text; false when the list has none.
  bool Select(const std::string& name) {
    const Names items = Items();
    for (size_t i = 0; i < items.size(); ++i) {
      if (items[i] != name) continue;
      screen->List()->selected = static_cast<int32_t>(i);
      return true;
    }
    return false;
  }
  void Open() { screen->FiredPressEvent(screen->OpenButton()); }
  void Refresh() { screen->Refresh_Screen(dir_path); }

  CFakeClock clock;
  CRecordingVirtualScreen display;
  CScriptedInputReader& input = TestInput();
  int passes = 0;
  std::unique_ptr<CDirectory_Screen> screen;
};

TEST_F(DirectoryScreenSandbox, FiltersAreByteSubstringsOfTheName) {
  ASSERT_TRUE(MakeCardFolder("docs"));
  ASSERT_TRUE(MakeCardFolder("old.txt.d"));
  ASSERT_TRUE(MakeCardFile("notes.txt"));
  ASSERT_TRUE(MakeCardFile("readme"));
  ASSERT_TRUE(MakeCardFile(".config"));
  ASSERT_TRUE(MakeCardFile(".hidden.txt"));
  Make();
  struct Case {
    const char* what;
    Names filters;
    Names items;
  } cases[] = {
      {"a suffix: files and folders alike", {".txt"}, {kParent, "notes.txt", "old.txt.d"}},
      {"no filters", {}, {kParent}},
      {"the empty filter", {""}, {kParent, "docs", "notes.txt", "old.txt.d", "readme"}},
      {"any filter of the list", {"zzz", "doc"}, {kParent, "docs"}},
      {"case-sensitive", {"Notes", "README"}, {kParent}},
      {"hidden names never", {".con", ".hidden"}, {kParent}},
      {"a NUL inside a filter", {std::string("no\0tes", 6)}, {kParent}},
      {"longer than any name", {std::string(300, 'e')}, {kParent}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    name_filters.Clear();
    for (const std::string& f : c.filters) name_filters.Append(f.data(), static_cast<uint32_t>(f.size()));
    Refresh();
    EXPECT_EQ(c.items, Items());
  }
}

// The parent entry sorts by its first byte, "<": digits and "!", "(", "-"
// before it, letters after, bytes from 0x80 last.
TEST_F(DirectoryScreenSandbox, TheParentEntrySortsByItsFirstByte) {
  for (const char* name : {"beta", "\xE9t\xE9", "9lives", "Alpha", "-dash", "_under", "(paren", "!bang"})
    ASSERT_TRUE(MakeCardFile(name));
  Make();
  EXPECT_EQ((Names{"!bang", "(paren", "-dash", "9lives", kParent, "Alpha", "_under", "beta", "\xE9t\xE9"}), Items());
}

// The parent entry counts among the entries: "Continue..." comes once there
// are 48 of them, after the first 48 in order.
TEST_F(DirectoryScreenSandbox, ContinueFollowsTheFirstFortyEightEntries) {
  Make();
  struct Case {
    int files;
    int shownFiles;
    bool continues;
  } cases[] = {{46, 46, false}, {47, 47, true}, {48, 47, true}, {2000, 47, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.files);
    ResetCard();
    char name[16];
    // Made from the last name down, so the folder does not deliver them sorted.
    for (int i = c.files - 1; i >= 0; --i) {
      std::snprintf(name, sizeof name, "f%04d", i);
      ASSERT_TRUE(MakeCardFile(name));
    }
    Names expected{kParent};
    for (int i = 0; i < c.shownFiles; ++i) {
      std::snprintf(name, sizeof name, "f%04d", i);
      expected.push_back(name);
    }
    if (c.continues) expected.push_back("Continue...");
    Refresh();
    EXPECT_EQ(expected, Items());
    EXPECT_EQ(static_cast<uint64_t>(c.files + 1), dir_entries.Count());
  }
}

// A folder of names that all sort before the parent entry still offers the
// way back, first, and it leads back.
TEST_F(DirectoryScreenSandbox, AFolderOfDigitNamesKeepsTheWayBack) {
  ASSERT_TRUE(MakeCardFolder("digits"));
  char name[16];
  for (int i = 60; i >= 1; --i) {
    std::snprintf(name, sizeof name, "digits/%02d.txt", i);
    ASSERT_TRUE(MakeCardFile(name));
  }
  Make();
  ASSERT_TRUE(Select("digits"));
  Open();
  ASSERT_EQ("/mnt/sdcard//digits", dir_path);
  Names expected{kParent};
  for (int i = 1; i <= 48; ++i) {
    std::snprintf(name, sizeof name, "%02d.txt", i);
    expected.push_back(name);
  }
  expected.push_back("Continue...");
  EXPECT_EQ(expected, Items());
  ASSERT_TRUE(Select(kParent));
  Open();
  EXPECT_EQ(kRoot, dir_path);
}

// Into folders and back with the parent entry: the path grows by "/" and the
// name, the working directory follows, and going back stops at the card.
TEST_F(DirectoryScreenSandbox, OpenEntersFoldersAndTheParentEntryGoesBack) {
  ASSERT_TRUE(MakeCardFolder("a"));
  ASSERT_TRUE(MakeCardFolder("a/b"));
  ASSERT_TRUE(MakeCardFile("a/f.txt"));
  ASSERT_TRUE(MakeCardFile("note.txt"));
  Make();
  EXPECT_EQ(kRoot, dir_path);
  EXPECT_EQ((Names{kParent, "a", "note.txt"}), Items());

  ASSERT_TRUE(Select("a"));
  const int flushes = display.flushes;
  Open();
  EXPECT_EQ("/mnt/sdcard//a", dir_path);
  EXPECT_EQ("/mnt/sdcard/a", WorkingDirectory());
  EXPECT_STREQ("/mnt/sdcard//a", screen->Title()->text);
  EXPECT_EQ((Names{kParent, "b", "f.txt"}), Items());
  EXPECT_EQ(0, screen->List()->selected);
  EXPECT_EQ(0u, screen->List()->page);
  EXPECT_EQ(initialization, status);
  EXPECT_EQ(flushes + 1, display.flushes);

  ASSERT_TRUE(Select("b"));
  Open();
  EXPECT_EQ("/mnt/sdcard//a/b", dir_path);
  EXPECT_EQ("/mnt/sdcard/a/b", WorkingDirectory());
  EXPECT_EQ((Names{kParent}), Items());

  // Each Open acts on the parent entry, which entering a folder selected.
  for (const char* expected : {"/mnt/sdcard//a", kRoot, "/mnt/sdcard", "/mnt/sdcard"}) {
    SCOPED_TRACE(expected);
    ASSERT_STREQ(kParent, screen->List()->GetItem(static_cast<uint32_t>(screen->List()->selected)));
    Open();
    EXPECT_EQ(expected, dir_path);
    EXPECT_EQ(0, screen->List()->selected);
  }
  EXPECT_EQ((Names{kParent, "a", "note.txt"}), Items());
  EXPECT_EQ(initialization, status);
}

// A file, and "Continue..." (a name like any other), go to the state machine.
TEST_F(DirectoryScreenSandbox, OpenOnAFileOrOnContinueRequestsTheFile) {
  for (int i = 0; i < 50; ++i) ASSERT_TRUE(MakeCardFile("f" + std::to_string(i) + ".txt"));
  Make();
  struct Case {
    const char* item;
    const char* file;
  } cases[] = {{"f1.txt", "/mnt/sdcard//f1.txt"}, {"Continue...", "/mnt/sdcard//Continue..."}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.item);
    status = directory_active;
    ASSERT_TRUE(Select(c.item));
    const int32_t selected = screen->List()->selected;
    Open();
    EXPECT_EQ(c.file, file_path);
    EXPECT_EQ(file_requested_from_dir, status);
    EXPECT_EQ(kRoot, dir_path);
    EXPECT_EQ(selected, screen->List()->selected);
    EXPECT_EQ("/", WorkingDirectory());
  }
}

TEST_F(DirectoryScreenSandbox, OpenWithoutASelectionShowsTheWarningBox) {
  ASSERT_TRUE(MakeCardFile("notes.txt"));
  Make();
  const int32_t count = static_cast<int32_t>(screen->List()->GetItemCount());
  for (int32_t selected : {-1, count, count + 7}) {
    SCOPED_TRACE(selected);
    screen->List()->selected = selected;
    status = directory_active;
    // The user taps the box's one button, "OK", in the middle of its row.
    input.Touch(160, 215, 1);
    input.Touch(160, 215, 0);
    int boxFlushes = 0;
    display.onFlush = [&] {
      if (GetEventLoop()->GetScreen() != screen.get()) ++boxFlushes;
    };
    Open();
    display.onFlush = nullptr;
    EXPECT_GT(boxFlushes, 0);
    EXPECT_TRUE(input.touches.empty());  // the box took the taps and ended
    EXPECT_EQ(screen.get(), GetEventLoop()->GetScreen());
    EXPECT_EQ(directory_active, status);
    EXPECT_EQ(kRoot, dir_path);
    EXPECT_EQ("", file_path);
  }
  EXPECT_LT(passes, kPassLimit);
}

// A tap on a row selects it and re-reads the folder at once; nothing else.
TEST_F(DirectoryScreenSandbox, TouchingAnItemSelectsItAndRereadsTheFolder) {
  ASSERT_TRUE(MakeCardFile("a.txt"));
  ASSERT_TRUE(MakeCardFile("b.txt"));
  Make();
  ASSERT_TRUE(MakeCardFile("c.txt"));
  CUIStringListBox* list = screen->List();
  const int32_t rowHeight = list->GetItemHeight(0);
  InputEvent down = {list->rect.x + 20, list->rect.y + 2 * rowHeight + rowHeight / 2, 1};
  InputEvent up = down;
  up.pressure = 0;
  const int flushes = display.flushes;
  screen->OnTouch(down);
  screen->OnTouch(up);
  EXPECT_EQ(2, list->selected);
  EXPECT_EQ((Names{kParent, "a.txt", "b.txt", "c.txt"}), Items());
  EXPECT_EQ(kRoot, dir_path);
  EXPECT_EQ(initialization, status);
  EXPECT_GT(display.flushes, flushes);
}

// Entering a folder from a later page of its parent shows the new folder from
// its first row, so a tap selects the row under the pen.
TEST_F(DirectoryScreenSandbox, AFolderEnteredFromALaterPageShowsItsFirstRows) {
  for (int i = 0; i < 40; ++i) ASSERT_TRUE(MakeCardFile("f" + std::to_string(100 + i)));
  ASSERT_TRUE(MakeCardFolder("sub"));
  for (int i = 0; i < 40; ++i) ASSERT_TRUE(MakeCardFile("sub/g" + std::to_string(100 + i)));
  Make();
  CUIStringListBox* list = screen->List();
  ASSERT_GT(list->rowsPerPage, 0u);
  while (list->PageDown()) {
  }
  ASSERT_GT(list->firstVisible, 0u);
  ASSERT_TRUE(Select("sub"));
  Open();
  ASSERT_EQ("/mnt/sdcard//sub", dir_path);
  EXPECT_EQ(0u, list->firstVisible);
  const int32_t rowHeight = list->GetItemHeight(0);
  InputEvent down = {list->rect.x + 20, list->rect.y + 2 + rowHeight / 2, 1};
  InputEvent up = down;
  up.pressure = 0;
  screen->OnTouch(down);
  screen->OnTouch(up);
  EXPECT_EQ(0, list->selected);
  Open();
  EXPECT_EQ(kRoot, dir_path);
}

// A folder that cannot be read, or is gone, lists the parent entry alone, so
// the way back stays open; a selection past it still gets the warning box.
TEST_F(DirectoryScreenSandbox, AnUnreadableOrVanishedFolderStillLeadsBack) {
  struct Case {
    const char* what;
    mode_t modeBeforeOpen;  // 0: left as made
    bool lockAfter;
    bool removeAfter;
  } cases[] = {
      {"entered, but not listable", 0300, false, false},
      {"locked while shown", 0, true, false},
      {"deleted while shown", 0, false, true},
  };
  Make();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ResetCard();
    ASSERT_TRUE(MakeCardFolder("gone"));
    ASSERT_TRUE(MakeCardFile("gone/inside.txt"));
    if (c.modeBeforeOpen != 0) {
      ASSERT_EQ(0, chmod("/mnt/sdcard/gone", c.modeBeforeOpen));
    }
    dir_path = kRoot;
    Refresh();
    ASSERT_TRUE(Select("gone"));
    Open();
    ASSERT_EQ("/mnt/sdcard//gone", dir_path);
    if (c.lockAfter) {
      ASSERT_EQ(0, chmod("/mnt/sdcard/gone", 0));
    }
    if (c.removeAfter) {
      ASSERT_EQ(0, unlink("/mnt/sdcard/gone/inside.txt"));
      ASSERT_EQ(0, rmdir("/mnt/sdcard/gone"));
    }
    Refresh();
    EXPECT_EQ((Names{kParent}), Items());

    screen->List()->selected = 1;
    input.Touch(160, 215, 1);
    input.Touch(160, 215, 0);
    Open();
    EXPECT_TRUE(input.touches.empty());  // the warning box took the taps
    EXPECT_EQ("/mnt/sdcard//gone", dir_path);

    screen->List()->selected = 0;
    Open();
    EXPECT_EQ(kRoot, dir_path);
    const Names back = c.removeAfter ? Names{kParent} : Names{kParent, "gone"};
    EXPECT_EQ(back, Items());
    EXPECT_EQ(initialization, status);
  }
}

// Names as the card may hold them: the longest, Latin-1 and broken UTF-8
// bytes, a line feed, printf directives. Listed as they are, entered as they are.
TEST_F(DirectoryScreenSandbox, AnyNameBytesAreListedAndEntered) {
  const std::string longest(255, 'n');
  const Names names = {longest, "\xE9t\xE9", "\xC3\x28", "\xFF\xFE", "%s%n%99999d"};
  for (const std::string& n : names) ASSERT_TRUE(MakeCardFile(n));
  ASSERT_TRUE(MakeCardFolder("line\nbreak"));
  DebugLogOpen();
  ASSERT_TRUE(DebugLogIsOpen());
  Make();
  EXPECT_EQ((Names{"%s%n%99999d", kParent, "debug.txt", "line\nbreak", longest, "\xC3\x28", "\xE9t\xE9", "\xFF\xFE"}), Items());
  ASSERT_TRUE(Select("line\nbreak"));
  Open();
  EXPECT_EQ("/mnt/sdcard//line\nbreak", dir_path);
  EXPECT_EQ("/mnt/sdcard/line\nbreak", WorkingDirectory());
  EXPECT_EQ((Names{kParent}), Items());
  ASSERT_TRUE(Select(kParent));
  Open();
  ASSERT_TRUE(Select(longest));
  Open();
  EXPECT_EQ("/mnt/sdcard//" + longest, file_path);
}

// The lines a listing writes, in the order the folder delivers its names.
std::string ContentLines(const std::string& path) {
  std::string lines = "Dir : Draw_Directory_Content : debut\nDir : Draw_Directory_Content : on a vid\xE9 la liste\n";
  DIR* d = opendir(path.c_str());
  while (const struct dirent* e = d != nullptr ? readdir(d) : nullptr) {
    const std::string name = e->d_name;
    lines += "On a trouv\xE9 : " + name + "\n";
    if (name[0] != '.') lines += ("On a ajout\xE9 : " + name).substr(0, 127) + "\n";
  }
  if (d != nullptr) closedir(d);
  return lines + "Dir : Draw_Directory_Content : on a rempli la liste\nDir : Draw_Directory_Content : fin\n";
}

std::string RefreshLines(const std::string& path) {
  return "Dir : Refresh_Screen : debut\n" + path + "\n" + ContentLines(path) +
         "Dir : Refresh_Screen : fin draw_directory_content\nDir : Refresh_Screen : fin\n";
}

TEST_F(DirectoryScreenSandbox, TraceLinesOfARefresh) {
  ASSERT_TRUE(MakeCardFolder("t"));
  ASSERT_TRUE(MakeCardFolder("t/docs"));
  const std::string longName = std::string(200, 'L') + ".txt";
  for (const std::string& n : {std::string("notes.txt"), std::string(".config"), longName, std::string("\xE9t\xE9.txt")})
    ASSERT_TRUE(MakeCardFile("t/" + n));
  name_filters.Clear();
  name_filters.Append(".txt");
  Make();
  unlink(kLogFile);
  DebugLogOpen();
  screen->Refresh_Screen("/mnt/sdcard//t");
  DebugLogClose();
  const std::string log = ReadWholeFile(kLogFile);
  EXPECT_EQ(RefreshLines("/mnt/sdcard//t"), log);
  // The added-name line is cut to 127 bytes; the found-name line is whole.
  EXPECT_NE(std::string::npos, log.find("\nOn a ajout\xE9 : " + std::string(113, 'L') + "\n"));
  EXPECT_NE(std::string::npos, log.find("\nOn a trouv\xE9 : " + longName + "\n"));
  EXPECT_NE(std::string::npos, log.find("\nOn a ajout\xE9 : docs\n"));  // written whether it passed or not
  EXPECT_EQ(std::string::npos, log.find("ajout\xE9 : .config"));
}

TEST_F(DirectoryScreenSandbox, TraceLinesOfTheConstructorAndOfEachPress) {
  ASSERT_TRUE(MakeCardFolder("sub"));
  ASSERT_TRUE(MakeCardFile("f.txt"));
  DebugLogOpen();
  Make();
  DebugLogClose();
  EXPECT_EQ(
      "Dir : Constructor : debut\nDir : Constructor : on va cr\xE9" "er la liste\n"
      "Dir : Constructor : on la remplit pour la premi\xE8" "re fois\n" +
          ContentLines(kRoot) +
          "Dir : Constructor : on l'a rempli pour la premi\xE8" "re fois\nDir : Constructor : fin\n",
      ReadWholeFile(kLogFile));

  const std::string begin = "Dir : FiredPressEvent : debut\n";
  const std::string open = begin + "Dir : FiredPressEvent : debut iTag = 1\n";
  const std::string chosen = "Dir : FiredPressEvent : un item est s\xE9lectionn\xE9\n";
  const std::string which = "Dir : FiredPressEvent : est-ce un repertoire ou un fichier ?\n";
  const std::string endOpen = "Dir : FiredPressEvent : fin iTag = 1\n";
  const std::string afterTest = "Dir : FiredPressEvent : sortie du test itag\n";
  struct Case {
    const char* what;
    const char* select;  // null: nothing selected
    int32_t tag;
    std::string lines;  // up to the refresh
  } cases[] = {
      {"a folder", "sub", 1,
       open + kRoot + "\n" + chosen + "sub\n" + which +
           "Dir : FiredPressEvent : le repertoire suivant est choisi\n/mnt/sdcard//sub\n" + endOpen + afterTest +
           "/mnt/sdcard//sub\n"},
      {"the parent entry", kParent, 1,
       open + "/mnt/sdcard//sub\n" + chosen + kParent + "\nDir : FiredPressEvent : == back_dir\n" + kRoot + "\n" +
           endOpen + afterTest + kRoot + "\n"},
      {"a file", "f.txt", 1,
       open + kRoot + "\n" + chosen + "f.txt\n" + which +
           "Dir : FiredPressEvent : le fichier suivant est choisi\n/mnt/sdcard//f.txt\n"
           "Dir : FiredPressEvent : fin du fichier choisi\n" +
           endOpen + afterTest + kRoot + "\n"},
      {"no selection", nullptr, 1, open + kRoot + "\n" + afterTest + kRoot + "\n"},
      {"Exit", nullptr, 2, begin + "Dir : FiredPressEvent : debut iTag = 2\n" + afterTest + kRoot + "\n"},
      {"the list", nullptr, 0, begin + afterTest + kRoot + "\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    screen->List()->selected = -1;
    if (c.select != nullptr) {
      ASSERT_TRUE(Select(c.select));
    }
    if (c.select == nullptr && c.tag == 1) {
      input.Touch(160, 215, 1);
      input.Touch(160, 215, 0);
    }
    MUIWidget* source = c.tag == 1 ? static_cast<MUIWidget*>(screen->OpenButton())
                        : c.tag == 2 ? static_cast<MUIWidget*>(screen->ExitButton())
                                     : screen->List();
    unlink(kLogFile);
    DebugLogOpen();
    screen->FiredPressEvent(source);
    DebugLogClose();
    EXPECT_EQ(c.lines + RefreshLines(dir_path) + "Dir : FiredPressEvent : fin\n", ReadWholeFile(kLogFile));
  }
}

}  // namespace
