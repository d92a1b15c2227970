#include "ui/list_box.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <string>
#include <vector>

#include "gfx/cached_free_type_font.h"
#include "gfx/courier_font.h"
#include "tests/support/fake_clock.h"
#include "tests/support/recording_font.h"
#include "tests/support/recording_screen.h"
#include "tests/support/scripted_input.h"
#include "tests/support/skin_folder.h"
#include "tests/support/test_environment.h"
#include "tests/support/ui_recorder.h"

namespace {

// Rows 10 pixels high (an 8-pixel font, plus 2) in a box 104 high: 10 rows a
// page. The scroll column is x 178-209; its halves meet at y 72.
class ListBoxTest : public ::testing::Test {
 public:
  static constexpr int32_t kX = 10, kY = 20;

  void SetUp() override {
    list = new CUIStringListBox(UIRect(kX, kY, 200, 104), "list", &listener);
    list->iTag = 5;
    list->SetFont(&font);
    screen.AddChild(list);
    loop = GetEventLoop();
    loop->SetScreen(&screen);
  }
  void Fill(int n) {
    list->RemoveAll();
    for (int i = 0; i < n; ++i) list->AddItem(("item " + std::to_string(i)).c_str());
    list->ResetList();
  }
  // A touch sample through the loop, one pass.
  void Touch(int32_t x, int32_t y, int32_t pressure) {
    input.Touch(x, y, pressure);
    loop->ProcessEvents();
  }
  void Tap(int32_t x, int32_t y) {
    Touch(x, y, 1);
    Touch(x, y, 0);
  }
  void Key(int32_t code) {
    input.NoTouch();
    input.Key(code);
    loop->ProcessEvents();
  }
  std::vector<std::string> DrawnRows() {
    font.drawn.clear();
    list->Draw();
    std::vector<std::string> rows;
    for (const auto& d : font.drawn) rows.push_back(d.text);
    return rows;
  }

  CFakeClock clock;
  CRecordingVirtualScreen display;
  CScriptedInputReader& input = TestInput();
  CRecordingFont font{6, 8};
  CEventLog log;
  CRecordingListener listener{log};
  CUIScreen screen{2};
  CUIStringListBox* list = nullptr;
  CUIEventLoop* loop = nullptr;
};

TEST_F(ListBoxTest, PagesAreTurnedAsTheOwnerLeftThem) {
  Fill(25);
  ASSERT_EQ(10u, list->rowsPerPage);
  struct Step {
    int setPage, setFirst;  // -1: as it is
    bool down;
    bool moved;
    uint32_t page, first;
  };
  const Step steps[] = {
      {-1, -1, true, true, 1, 10},  {-1, -1, true, true, 2, 20},   {-1, -1, true, false, 2, 20},
      {-1, -1, false, true, 1, 10}, {-1, -1, false, true, 0, 0},   {-1, -1, false, false, 0, 0},
      // The owner wrote the page: up first goes back to the page's start.
      {1, 0, false, true, 1, 10},   {1, -1, false, true, 0, 0},
      // Down past the page's start steps the rows and keeps the page.
      {2, 0, true, true, 2, 10},    {-1, -1, true, true, 2, 20},   {-1, -1, true, false, 2, 20},
      // A page past the items is put back to the first by the redraw.
      {7, 0, false, true, 0, 0},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(testing::Message() << "page " << list->page << " first " << list->firstVisible << " "
                                    << (s.down ? "down" : "up"));
    if (s.setPage >= 0) list->page = static_cast<uint32_t>(s.setPage);
    if (s.setFirst >= 0) list->firstVisible = static_cast<uint32_t>(s.setFirst);
    EXPECT_EQ(s.moved, s.down ? list->PageDown() : list->PageUp());
    EXPECT_EQ(s.page, list->page);
    EXPECT_EQ(s.first, list->firstVisible);
  }
  list->PageDown();
  list->PageDown();
  EXPECT_EQ((std::vector<std::string>{"item 20", "item 21", "item 22", "item 23", "item 24"}), DrawnRows());
}

TEST_F(ListBoxTest, RowsAreDrawnInTheirBoxesAndTheSelectionInTheHighlight) {
  Fill(12);
  list->selected = 1;
  display.Pixels().Fill(0);
  std::vector<std::string> rows = DrawnRows();
  ASSERT_EQ(10u, rows.size());  // the page's rows, no more
  MColorScheme* colors = list->CurrentScheme();
  ASSERT_NE(colors->HighlightColor(), colors->TextColor());
  EXPECT_EQ((CRecordingFont::Drawn{"item 0", kX + 2, kY + 2}), font.drawn[0]);
  EXPECT_EQ((CRecordingFont::Drawn{"item 9", kX + 2, kY + 92}), font.drawn[9]);
  for (uint32_t i = 0; i < 10; ++i)
    EXPECT_EQ(i == 1 ? colors->HighlightColor() : colors->TextColor(), font.drawn[i].color) << i;
  // A disabled list draws every row, the selected one too, in the disabled colour.
  list->enabled = false;
  DrawnRows();
  for (uint32_t i = 0; i < 10; ++i) EXPECT_EQ(colors->DisabledColor(), font.drawn[i].color) << i;
  list->enabled = true;
  // A selection that no longer names an item is forgotten by the redraw.
  list->selected = 12;
  list->Draw();
  EXPECT_EQ(-1, list->selected);
}

// The down button holds from the press; the page turns on the release.
TEST_F(ListBoxTest, ScrollButtonsTurnThePageOnRelease) {
  Fill(25);
  list->Draw();
  const UIRect down = list->ScrollButtonRect(false), up = list->ScrollButtonRect(true);
  EXPECT_EQ((std::vector<int32_t>{178, 20, 32, 51}), (std::vector<int32_t>{up.x, up.y, up.width, up.height}));
  EXPECT_EQ((std::vector<int32_t>{178, 73, 32, 51}),
            (std::vector<int32_t>{down.x, down.y, down.width, down.height}));
  const int flushes = display.flushes;
  Touch(down.x + 5, down.y + 5, 1);
  EXPECT_TRUE(list->DownPressed());
  EXPECT_EQ(0u, list->page);
  EXPECT_EQ(colorWhite, display.PixelAt(down.x + 3, down.y + 3));  // held: filled in the text colour
  EXPECT_GT(display.flushes, flushes);
  Touch(down.x + 5, down.y + 20, 1);  // still held: nothing more
  Touch(down.x + 5, down.y + 20, 0);
  EXPECT_FALSE(list->DownPressed());
  EXPECT_EQ(1u, list->page);
  list->PageDown();
  // From the last page the up half moves back one page, on the release.
  Touch(up.x + 5, up.y + 5, 1);
  EXPECT_TRUE(list->UpPressed());
  EXPECT_EQ(2u, list->page);
  Touch(up.x + 5, up.y + 5, 0);
  EXPECT_EQ(1u, list->page);
  EXPECT_TRUE(log.empty());  // scrolling fires nothing
}

TEST_F(ListBoxTest, TapsSelectARowOfThePage) {
  Fill(25);
  struct Case {
    uint32_t page;
    int32_t y;  // below the list's top
    int32_t selected;
  } cases[] = {
      {0, 0, 0},
      {0, 35, 3},
      {0, 101, 9},  // the row under the page's last stays on the page
      {1, 12, 11},
      {2, 80, 24},  // below the last item: the last item
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.y);
    list->page = c.page;
    list->firstVisible = c.page * 10;
    log.clear();
    Tap(kX + 50, kY + c.y);
    EXPECT_EQ(c.selected, list->selected);
    EXPECT_EQ((CEventLog{"fired 5"}), log);  // once, on the release
  }
}

TEST_F(ListBoxTest, RemoteKeysMoveTheSelectionAndThePage) {
  Fill(25);
  struct Case {
    uint32_t page;
    int32_t selected;
    int32_t key;
    bool handled;
    uint32_t pageAfter;
    int32_t selectedAfter;
    bool fired;
  } cases[] = {
      {0, -1, 1, true, 0, -1, false},   // up with no selection stays without one
      {0, -1, 2, true, 0, 0, false},
      {0, 4, 2, true, 0, 5, false},
      {0, 9, 2, true, 1, 10, false},    // down on the page's last row turns the page
      {2, 24, 2, true, 2, 24, false},   // down on the last item stays
      {1, 10, 1, true, 0, 9, false},    // up on the page's first row goes back a page
      {0, 3, 8, true, 1, 10, false},
      {2, 22, 8, false, 2, 22, false},
      {1, 15, 7, true, 0, 0, false},
      {0, 3, 7, false, 0, 3, false},
      {0, -1, 6, false, 0, -1, false},  // select with no selection fires nothing
      {0, 3, 6, true, 0, 3, true},
      {0, 40, 2, true, 0, 24, false},   // a selection the owner put past the items comes back
      {0, INT32_MIN, 1, true, 0, -1, false},  // UBSan: no step overflows
      {0, INT32_MAX, 2, true, 0, 24, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "page " << c.page << " selected " << c.selected << " key " << c.key);
    list->page = c.page;
    list->firstVisible = c.page * 10;
    list->selected = c.selected;
    log.clear();
    int32_t key = c.key;
    EXPECT_EQ(c.handled, list->OnKey(key));
    EXPECT_EQ(c.pageAfter, list->page);
    EXPECT_EQ(c.selectedAfter, list->selected);
    EXPECT_EQ(c.fired ? CEventLog{"fired 5"} : CEventLog{}, log);
  }
}

TEST_F(ListBoxTest, KeysReachTheListThroughTheLoop) {
  Fill(25);
  list->SetFocus(true);
  EXPECT_EQ(0, list->selected);  // the focus selects the first item
  for (int i = 0; i < 10; ++i) Key(2);
  EXPECT_EQ(1u, list->page);
  EXPECT_EQ(10, list->selected);
  Key(6);
  EXPECT_EQ((CEventLog{"fired 5"}), log);
}

TEST_F(ListBoxTest, AnEmptyListShowsTwoDisabledButtonsAndTapsSelectNothing) {
  Fill(0);
  list->SetFocus(true);
  EXPECT_EQ(-1, list->selected);
  display.Pixels().Fill(0);
  EXPECT_TRUE(DrawnRows().empty());
  // The chevrons' tips in the disabled colour.
  const UIRect up = list->ScrollButtonRect(true), down = list->ScrollButtonRect(false);
  EXPECT_EQ(colorSilver, display.PixelAt(up.x + 16, up.y + 25 - 8));
  EXPECT_EQ(colorSilver, display.PixelAt(down.x + 16, down.y + 25 + 8));
  Tap(kX + 50, kY + 30);
  EXPECT_EQ(-1, list->selected);
  EXPECT_EQ((CEventLog{"fired 5"}), log);
}

TEST_F(ListBoxTest, ItemsPastFiftyAreDropped) {
  Fill(60);
  EXPECT_EQ(50u, list->GetItemCount());
  EXPECT_STREQ("item 49", list->GetItem(49));
  EXPECT_EQ(nullptr, list->GetItem(50));
  EXPECT_EQ(nullptr, list->GetItem(static_cast<uint32_t>(-1)));
  list->page = 4;
  list->firstVisible = 40;
  EXPECT_FALSE(list->PageDown());
}

// In the built-in font, which paints: a line longer than its row is cut at
// the row's right edge and never paints over the scroll buttons.
TEST_F(ListBoxTest, ALongItemStopsBeforeTheScrollColumn) {
  list->SetFont(nullptr);
  list->RemoveAll();
  list->AddItem(std::string(80, 'W').c_str());
  list->ResetList();
  display.Pixels().Fill(0);
  list->Draw();
  int textInRow = 0;
  for (int32_t x = kX; x < kX + 200; ++x)
    for (int32_t y = kY; y < kY + 104; ++y) {
      if (display.PixelAt(x, y) != colorWhite) continue;
      EXPECT_LT(x, kX + 200 - 34) << y;
      ++textInRow;
    }
  EXPECT_GT(textInRow, 0);
}

// In an outline font glyphs differ in height, yet every row has the face's
// line height, whatever the first item is; each row drawn is the row a tap
// there selects, and its text stays inside it.
TEST_F(ListBoxTest, OutlineRowsComeFromTheFaceAndMatchThePen) {
  std::unique_ptr<MFont> face(CreateCachedFont(kDejaVuSansFile, 18));
  ASSERT_NE(nullptr, face);
  list->SetFont(face.get());
  const int32_t line = std::max(face->GetMetric(MFont::kLineHeight),
                                face->GetMetric(MFont::kAscender) - face->GetMetric(MFont::kDescender));
  MColorScheme* colors = list->CurrentScheme();
  for (const char* first : {"", "----------", "ooo", "01.txt", "\xC9pg|"}) {
    SCOPED_TRACE(std::string("first item \"") + first + "\"");
    list->RemoveAll();
    list->AddItem(first);
    for (int i = 2; i <= 30; ++i) list->AddItem((std::string(i < 10 ? "0" : "") + std::to_string(i) + ".txt").c_str());
    list->ResetList();
    EXPECT_EQ(line + 2, list->GetItemHeight(0));
    ASSERT_EQ(static_cast<uint32_t>((104 - 4) / (line + 2)), list->rowsPerPage);
    list->PageDown();
    for (uint32_t row = 0; row < list->rowsPerPage; ++row) {
      const UIRect box = list->RowBox(row);
      Tap(box.x + 30, box.y + box.height / 2);
      ASSERT_EQ(static_cast<int32_t>(list->firstVisible + row), list->selected) << row;
      display.Pixels().Fill(0);
      list->Draw();
      int lit = 0;
      for (int32_t x = kX; x < kX + 200; ++x)
        for (int32_t y = kY; y < kY + 104; ++y) {
          if (display.PixelAt(x, y) != colors->HighlightColor()) continue;
          ++lit;
          EXPECT_TRUE(box.Contains(x, y)) << "row " << row << " lit at " << x << "," << y;
        }
      EXPECT_GT(lit, 0) << "row " << row;
    }
    // Below the last row, a tap stays on the page's last row.
    Tap(kX + 30, kY + 103);
    EXPECT_EQ(static_cast<int32_t>(list->firstVisible + list->rowsPerPage - 1), list->selected);
  }
  list->SetFont(&font);
}

// The built-in font keeps its rows: its cell height plus 2.
TEST_F(ListBoxTest, FixedFontRowsAreTheCellHeightPlusTwo) {
  list->SetFont(GetFixedFont(2));
  Fill(3);
  EXPECT_EQ(18, list->GetItemHeight(0));
  EXPECT_EQ(5u, list->rowsPerPage);
  list->SetFont(&font);
}

// Rows without height, or a box too low for any row: no pages, no division.
class CFlatList final : public CUIListBox {
 public:
  CFlatList(const UIRect& r, int32_t h) : CUIListBox(r, "", nullptr), height(h) { ResetList(); }
  uint32_t GetItemCount() override { return 3; }
  int32_t GetItemHeight(uint32_t) override { return height; }
  void DrawItem(uint32_t index, const UIRect&) override { drawn.push_back(index); }
  int32_t height;
  std::vector<uint32_t> drawn;
};

TEST_F(ListBoxTest, DegenerateRowsNeverDivideByZero) {
  CFlatList flat(UIRect(0, 0, 100, 100), 0);
  EXPECT_EQ(0u, flat.rowsPerPage);
  // No page holds a row, so none is drawn; a tap still picks the first.
  flat.Draw();
  EXPECT_TRUE(flat.drawn.empty());
  InputEvent tap = {10, 50, 0};
  EXPECT_TRUE(flat.OnTouch(tap));
  EXPECT_EQ(0, flat.selected);
  CFlatList low(UIRect(0, 0, 100, 3), 10);
  EXPECT_EQ(0u, low.rowsPerPage);
}

}  // namespace
