// String lists as reviewed pictures, in DejaVu Sans on scheme 2: a list with
// a selection, and three lists showing the scroll buttons held, enabled and
// disabled.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/golden.h"
#include "tests/support/skin_folder.h"
#include "ui/list_box.h"
#include "ui/screen.h"

namespace {

CUIStringListBox* AddList(CUIScreen& screen, const UIRect& r, int items, const char* name) {
  auto* list = new CUIStringListBox(r, "", nullptr);
  for (int i = 0; i < items; ++i) list->AddItem((std::string(name) + " " + std::to_string(i + 1)).c_str());
  list->ResetList();
  screen.AddChild(list);
  return list;
}

void Hold(CUIListBox& list, bool up) {
  const UIRect b = list.ScrollButtonRect(up);
  InputEvent down = {b.x + 4, b.y + 4, 1};
  list.OnTouch(down);
}

TEST(ListBoxGolden, AListWithASelection) {
  CSkinFolder skin;
  ASSERT_TRUE(skin.DescribeDejaVu(true, true));
  skin.Install();
  CUIScreen screen(2);
  CUIStringListBox* list = new CUIStringListBox(UIRect(8, 8, 304, 224), "", nullptr);
  const char* names[] = {"<- Back to parent...", "Documents", "Music", "notes.txt", "readme.txt", "route-2026.gpx",
                         "todo.txt", "Photos", "Maps", "old.txt.d", "a very long file name that runs past the box.txt",
                         "zeta.txt"};
  for (const char* n : names) list->AddItem(n);
  list->ResetList();
  list->selected = 3;
  screen.AddChild(list);
  screen.Draw();
  EXPECT_TRUE(MatchesGolden(*GetVirtualScreen(), "ui_list_selection"));
}

// Left: the first page, up disabled, down held. Middle: a middle page, both
// enabled. Right: the last page of a disabled list, up held, down disabled.
TEST(ListBoxGolden, ScrollButtonsHeldEnabledAndDisabled) {
  CSkinFolder skin;
  ASSERT_TRUE(skin.DescribeDejaVu(true, true));
  skin.Install();
  CUIScreen screen(2);
  CUIStringListBox* first = AddList(screen, UIRect(4, 8, 100, 224), 30, "Row");
  CUIStringListBox* middle = AddList(screen, UIRect(110, 8, 100, 224), 30, "Row");
  CUIStringListBox* last = AddList(screen, UIRect(216, 8, 100, 224), 30, "Row");
  first->selected = 1;
  middle->page = 1;
  middle->firstVisible = middle->rowsPerPage;
  middle->selected = static_cast<int32_t>(middle->rowsPerPage) + 2;
  last->page = 29 / last->rowsPerPage;
  last->firstVisible = last->page * last->rowsPerPage;
  last->SetEnabled(false);
  screen.Draw();
  Hold(*first, false);
  Hold(*last, true);
  EXPECT_TRUE(MatchesGolden(*GetVirtualScreen(), "ui_list_scroll_buttons"));
}

}  // namespace
