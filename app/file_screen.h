#pragma once
// CFile_Screen: the lines of the file chosen in the directory screen as a
// list, with Edit, Delete, Save and Exit. The first 50 lines live in
// file_lines, and the list shows them. The buttons only write the shared strings
// and status; the state machine switches screens. Created once at start-up.

#include <cstdint>

#include "ui/button.h"
#include "ui/label.h"
#include "ui/list_box.h"
#include "ui/screen.h"

class CFile_Screen : public CUIScreen, public MUIWidget::MUIWidgetEvents {
 public:
  // The bytes of a line that its row is given: a row is under 300 pixels
  // wide, so no row shows more than a few dozen characters of them. Without
  // the bound a line of megabytes would be copied into the list and
  // measured whole at every redraw. Edit takes the whole line from
  // file_lines.
  static constexpr uint32_t kShownLineBytes = 1024;
  // What is read of a file: only the first 50 lines can be shown or edited,
  // and nothing is written back, so the file is read as if it ended after
  // 50 lines or after 50 full rows' bytes, whichever comes first. Opening a
  // 2 GB video then costs what a short text file costs.
  static constexpr uint32_t kReadLines = CUIStringListBox::kCapacity;
  static constexpr uint32_t kReadBytes = kReadLines * (kShownLineBytes + 1);

  CFile_Screen();

  // Rebuilds the list (from the file at `path`, or from file_lines) and
  // redraws it, the title and the buttons but Edit. A file read from the
  // card starts at its first page with its first line selected; from
  // file_lines (back from an edit) the page and selection are kept.
  void Refresh_Screen(const char* path, bool fromFile);
  // Fills the list and, from the file, file_lines. A path that cannot be
  // read leaves the list empty and file_lines as it was.
  void Draw_File_Content(const char* path, bool fromFile);
  void FiredPressEvent(MUIWidget* source) override;

  CUIStringListBox* List() { return list; }
  CUILabel* FileName() { return file_name; }
  // The button with iTag 1 (Edit) to 4 (Exit); null for any other tag.
  CUIButton* Button(int32_t tag);

 private:
  // The first rows of file_lines into the emptied list.
  void AddShownLines();

  CUILabel* file_name = nullptr;
  CUIButton* edit_button = nullptr;
  CUIButton* delete_button = nullptr;
  CUIButton* save_button = nullptr;
  CUIButton* exit_button = nullptr;
  CUIStringListBox* list = nullptr;
  int32_t list_x = 0;
  int32_t list_y = 0;
  int32_t list_width = 0;
  int32_t list_height = 0;
};
