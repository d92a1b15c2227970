#pragma once
// The list of the directory and file screens, once filled at construction:
// rows of one height, the first page, the first item selected.

#include "ui/list_box.h"

inline void StartScreenList(CUIStringListBox* list) {
  list->listStyle = CUIListBox::kUniformRows;
  list->SetFont(nullptr);
  list->ResetList();
  list->page = 0;
  list->selected = 0;
}
