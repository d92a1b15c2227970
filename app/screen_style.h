#pragma once
// What the three screens of the explorer share: their colour scheme, their
// background colour and, for the directory and file screens, the start of
// their list once it is filled at construction.

#include <cstdint>

#include "gfx/image.h"
#include "ui/list_box.h"

inline constexpr int32_t kScreenScheme = 10;

// RGB (0, 0, 128) behind every screen.
inline Color ScreenBackground() { return ToColor(0, 0, 128); }

// The first page from its first row, the first item selected. The row too:
// with an old scroll position kept, the rows shown would not be page 0's,
// and a tap would select an item other than the one under the pen.
inline void ShowListFromTop(CUIListBox* list) {
  list->page = 0;
  list->firstVisible = 0;
  list->selected = 0;
}

// Rows of one height, the first page, the first item selected.
inline void StartScreenList(CUIStringListBox* list) {
  list->listStyle = CUIListBox::kUniformRows;
  list->SetFont(nullptr);
  list->ResetList();
  list->page = 0;
  list->selected = 0;
}
