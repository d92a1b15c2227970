// The file screen: its layout, the lines of a file in the list and in
// file_lines, Edit taking the whole selected line, the selection across
// refreshes and files, huge files and failed allocations, and paths that
// give no file.
#include "app/file_screen.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "app/globals.h"
#include "app/text_file.h"
#include "gfx/image.h"
#include "tests/support/recording_screen.h"
#include "tests/support/skin_folder.h"
#include "tests/support/temp_dir.h"

namespace {

using L = std::vector<std::string>;

class FileScreenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGlobalsForTesting();
    skin.Install();
    fileScreen = std::make_unique<CFile_Screen>();
  }
  void TearDown() override {
    fileScreen.reset();
    ResetGlobalsForTesting();
  }

  std::string Open(const std::string& content, const std::string& name = "f.txt") {
    const std::string path = dir.Write(name, content);
    fileScreen->Refresh_Screen(path.c_str(), true);
    return path;
  }
  L Shown() {
    L out;
    CUIStringListBox* list = fileScreen->List();
    for (uint32_t i = 0; i < list->GetItemCount(); ++i) out.emplace_back(list->GetItem(i));
    return out;
  }
  static L FileLines() {
    L out;
    for (uint32_t i = 0; i < file_lines.Size(); ++i) out.emplace_back(file_lines.Text(i), file_lines.Length(i));
    return out;
  }
  void Press(int32_t tag) { fileScreen->FiredPressEvent(fileScreen->Button(tag)); }

  CRecordingVirtualScreen display;
  CSkinFolder skin;
  TempDir dir;
  std::unique_ptr<CFile_Screen> fileScreen;
};

TEST_F(FileScreenTest, Layout) {
  CFile_Screen& s = *fileScreen;
  EXPECT_EQ(10, s.ColorSchemeIndex());
  EXPECT_EQ(ToColor(0, 0, 128), s.BackgroundColor());
  auto rectOf = [](MUIWidget* w) {
    return std::vector<int32_t>{w->rect.x, w->rect.y, w->rect.width, w->rect.height};
  };
  EXPECT_EQ((std::vector<int32_t>{5, 5, 310, 18}), rectOf(s.FileName()));
  EXPECT_EQ((std::vector<int32_t>{5, 28, 310, 162}), rectOf(s.List()));
  EXPECT_EQ(CUIListBox::kUniformRows, s.List()->listStyle);
  EXPECT_EQ(0, s.List()->selected);
  EXPECT_EQ(0u, s.List()->GetItemCount()) << "no file at start-up";
  const char* names[] = {"Edit", "Delete", "Save", "Exit"};
  const int32_t xs[] = {5, 83, 161, 239};
  for (int32_t tag = 1; tag <= 4; ++tag) {
    CUIButton* b = s.Button(tag);
    ASSERT_NE(nullptr, b);
    EXPECT_STREQ(names[tag - 1], b->text);
    EXPECT_EQ(tag, b->iTag);
    EXPECT_EQ((std::vector<int32_t>{xs[tag - 1], 195, 73, 40}), rectOf(b));
    EXPECT_EQ(&s, b->listener);
  }
  EXPECT_EQ(&s, s.List()->listener);
}

TEST_F(FileScreenTest, ListAndFileLinesFollowTheLineRule) {
  struct Case {
    std::string content;
    L lines;
  } cases[] = {
      {"a\nb\n", {"a", "b", ""}},
      {"a\r\nb\r\n", {"a\r", "b\r", ""}},
      {"no final feed", {"no final feed"}},
      {"", {""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.content);
    const std::string path = Open(c.content);
    EXPECT_EQ(c.lines, Shown());
    EXPECT_EQ(c.lines, FileLines());
    EXPECT_STREQ(path.c_str(), fileScreen->FileName()->text);
  }
}

TEST_F(FileScreenTest, OnlyTheFirstFiftyLinesAreShownAndEditable) {
  std::string content;
  for (int i = 1; i <= 120; ++i) content += "line " + std::to_string(i) + "\n";
  Open(content);
  EXPECT_EQ(50u, fileScreen->List()->GetItemCount());
  EXPECT_EQ("line 50", Shown().back());
  // Only what can be shown is read.
  EXPECT_EQ(50u, file_lines.Size());
  EXPECT_EQ("line 50", FileLines().back());

  fileScreen->List()->selected = 49;
  Press(1);
  EXPECT_EQ("line 50", line_text);
  EXPECT_EQ(49, line_index);
  EXPECT_EQ(editline_requested, status);

  status = file_active;
  fileScreen->List()->selected = 50;
  Press(1);
  EXPECT_EQ(file_active, status);
  EXPECT_EQ(49, line_index);
}

// The row shows a bounded C-string prefix; Edit takes the whole line as
// read, NUL bytes and all, so an edit handed back unchanged leaves
// file_lines byte-for-byte as read. A line past what is read is cut there.
TEST_F(FileScreenTest, EditTakesTheWholeLineTheRowShowsAPrefix) {
  const std::string nul("ab\0cd", 5);
  const std::string huge(3 << 20, 'w');
  Open(nul + "\n" + huge + "\n");
  EXPECT_EQ((L{"ab", std::string(CFile_Screen::kShownLineBytes, 'w')}), Shown());
  const L read{nul, std::string(CFile_Screen::kReadBytes - nul.size() - 1, 'w')};
  ASSERT_EQ(read, FileLines());
  for (int32_t i : {0, 1}) {
    fileScreen->List()->selected = i;
    Press(1);
    EXPECT_EQ(read[i], line_text);
    file_lines.Replace(static_cast<uint32_t>(line_index), line_text.data(), static_cast<uint32_t>(line_text.size()));
  }
  EXPECT_EQ(read, FileLines());
}

// A file of any size costs what 50 rows can show: a 2 GiB sparse file is
// read no further than the bound.
TEST_F(FileScreenTest, AHugeFileIsReadOnlyAsFarAsTheRowsReach) {
  const std::string path = dir.Write("huge.txt", "");
  ASSERT_EQ(0, truncate(path.c_str(), off_t{2} << 30));
  fileScreen->Refresh_Screen(path.c_str(), true);
  ASSERT_EQ(1u, file_lines.Size());
  EXPECT_EQ(CFile_Screen::kReadBytes, file_lines.Length(0));
  EXPECT_LE(file_lines.BufferBytes(), uint64_t{CFile_Screen::kReadBytes} + 1);
  EXPECT_EQ((L{""}), Shown());  // NUL bytes: the row shows nothing
}

// Memory that cannot be had gives an empty list, never a stop.
TEST_F(FileScreenTest, AnAllocationThatFailsGivesAnEmptyList) {
  Open("earlier\nfile\n");
  SetTextFileAllocationGateForTesting([](size_t) { return false; });
  Open("one\ntwo\n", "g.txt");
  SetTextFileAllocationGateForTesting(nullptr);
  EXPECT_EQ(0u, fileScreen->List()->GetItemCount());
  EXPECT_EQ(0u, file_lines.Size());
  status = file_active;
  Press(1);
  EXPECT_EQ(file_active, status);
  Open("one\ntwo\n", "g.txt");
  EXPECT_EQ((L{"one", "two", ""}), Shown());
}

TEST_F(FileScreenTest, RefreshFromFileLinesKeepsTheSelection) {
  const std::string path = Open("one\ntwo\nthree\nfour\n");
  fileScreen->List()->selected = 2;
  file_lines.Replace(2, "edited", 6);
  fileScreen->Refresh_Screen(path.c_str(), false);
  EXPECT_EQ((L{"one", "two", "edited", "four", ""}), Shown());
  EXPECT_EQ(2, fileScreen->List()->selected);
  Press(1);
  EXPECT_EQ("edited", line_text);
  EXPECT_EQ(2, line_index);
}

// A file opened from the folder starts at its first page with its first
// line selected, whatever the previous file was scrolled to; coming back
// from an edit keeps the place (above).
TEST_F(FileScreenTest, ASecondFileOpensAtItsTop) {
  std::string content;
  for (int i = 1; i <= 60; ++i) content += "line " + std::to_string(i) + "\n";
  Open(content, "long.txt");
  CUIStringListBox* list = fileScreen->List();
  ASSERT_TRUE(list->PageDown());
  ASSERT_TRUE(list->PageDown());
  list->selected = static_cast<int32_t>(list->firstVisible) + 1;
  for (const char* name : {"short.txt", "long.txt"}) {
    SCOPED_TRACE(name);
    Open(name == std::string("long.txt") ? content : "a\nb\n", name);
    EXPECT_EQ(0u, list->page);
    EXPECT_EQ(0u, list->firstVisible);
    EXPECT_EQ(0, list->selected);
    status = file_active;
    Press(1);
    EXPECT_EQ(editline_requested, status);
    EXPECT_EQ(name == std::string("long.txt") ? "line 1" : "a", line_text);
  }
}

// A touched line shows as selected at once, before any other redraw.
TEST_F(FileScreenTest, ATouchedLineIsHighlightedAtOnce) {
  Open("one\ntwo\nthree\n");
  CUIStringListBox* list = fileScreen->List();
  const Color highlight = list->CurrentScheme()->HighlightColor();
  auto highlightedRow = [&]() {
    for (uint32_t row = 0; row < 4; ++row) {
      const UIRect box = list->RowBox(row);
      for (int32_t x = box.x; x < box.x + box.width; ++x)
        for (int32_t y = box.y; y < box.y + box.height; ++y)
          if (display.PixelAt(x, y) == highlight) return static_cast<int32_t>(row);
    }
    return -1;
  };
  list->Draw();
  EXPECT_EQ(0, highlightedRow());
  const UIRect row2 = list->RowBox(2);
  InputEvent down = {row2.x + 10, row2.y + row2.height / 2, 1}, up = down;
  up.pressure = 0;
  list->OnTouch(down);
  list->OnTouch(up);
  EXPECT_EQ(2, list->selected);
  EXPECT_EQ(2, highlightedRow());
}

TEST_F(FileScreenTest, DeleteAndSaveOnlyFlushExitClosesTheFile) {
  const std::string content = "keep\nthis\n";
  const std::string path = Open(content);
  status = file_active;
  for (int32_t tag : {2, 3}) {
    const int flushes = display.flushes;
    Press(tag);
    EXPECT_EQ(flushes + 1, display.flushes);
    EXPECT_EQ(0, display.uncheckedFlushes);
    EXPECT_EQ((L{"keep", "this", ""}), Shown());
    EXPECT_EQ((L{"keep", "this", ""}), FileLines());
    EXPECT_EQ(content, ReadWholeFile(path));
    EXPECT_EQ(file_active, status);
  }
  fileScreen->FiredPressEvent(fileScreen->List());  // a row touched: nothing more
  EXPECT_EQ(file_active, status);
  Press(4);
  EXPECT_EQ(file_closed, status);
}

TEST_F(FileScreenTest, APathWithoutAFileShowsNothingAndKeepsFileLines) {
  Open("earlier\nfile\n");
  for (const std::string& path : {dir.Path(), dir.File("missing.txt")}) {
    SCOPED_TRACE(path);
    fileScreen->Refresh_Screen(path.c_str(), true);
    EXPECT_EQ(0u, fileScreen->List()->GetItemCount());
    EXPECT_EQ((L{"earlier", "file", ""}), FileLines());
    status = file_active;
    Press(1);
    EXPECT_EQ(file_active, status);
  }
}

}  // namespace
