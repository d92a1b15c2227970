#include "app/file_screen.h"

#include <algorithm>
#include <cstring>

#include "app/debug_log.h"
#include "app/globals.h"
#include "app/screen_style.h"
#include "app/text_file.h"

namespace {
constexpr int32_t kMargin = 5;
constexpr int32_t kButtonHeight = 40;
}  // namespace

CFile_Screen::CFile_Screen() : CUIScreen(kScreenScheme) {
  MVirtualScreen* vs = GetVirtualScreen();
  const int32_t width = static_cast<int32_t>(vs->GetWidth());
  const int32_t height = static_cast<int32_t>(vs->GetHeight());
  const int32_t buttonWidth = (width - 5 * kMargin) / 4;
  const int32_t contentWidth = width - 2 * kMargin;
  const int32_t rowHeight = (height - kButtonHeight - 4 * kMargin) / 10;

  SetBackground(ScreenBackground(), nullptr);
  DebugLog("File : Constructor : debut");

  file_name = new CUILabel(UIRect(kMargin, kMargin, contentWidth, rowHeight), file_path.c_str());
  file_name->SetFont(nullptr);
  AddChild(file_name);
  DebugLog("File : Constructor : on a cr\xE9\xE9 file_name");

  list_x = kMargin;
  list_y = rowHeight + 2 * kMargin;
  list_width = width - 2 * kMargin;
  list_height = 9 * rowHeight;
  list = new CUIStringListBox(UIRect(list_x, list_y, list_width, list_height), "", this);
  DebugLog("File : Constructor : on a cr\xE9\xE9 la liste");

  Draw_File_Content(file_path.c_str(), true);
  StartScreenList(list);
  AddChild(list);
  DebugLog("File : Constructor : on a rempli la liste");

  const int32_t y = height - kMargin - kButtonHeight;
  auto addButton = [&](int32_t x, const char* name, int32_t tag) {
    auto* b = new CUIButton(UIRect(x, y, buttonWidth, kButtonHeight), name, this);
    b->iTag = tag;
    AddChild(b);
    return b;
  };
  edit_button = addButton(kMargin, "Edit", 1);
  DebugLog("File : Constructor : on a cr\xE9\xE9 le bouton delete");
  delete_button = addButton(2 * kMargin + buttonWidth, "Delete", 2);
  DebugLog("File : Constructor : on a cr\xE9\xE9 le bouton delete");
  save_button = addButton(2 * buttonWidth + 3 * kMargin, "Save", 3);
  DebugLog("File : Constructor : on a cr\xE9\xE9 le bouton save");
  exit_button = addButton(3 * buttonWidth + 4 * kMargin, "Exit", 4);
  DebugLog("File : Constructor : fin");
}

CUIButton* CFile_Screen::Button(int32_t tag) {
  switch (tag) {
    case 1:
      return edit_button;
    case 2:
      return delete_button;
    case 3:
      return save_button;
    case 4:
      return exit_button;
    default:
      return nullptr;
  }
}

void CFile_Screen::AddShownLines() {
  char row[kShownLineBytes + 1];
  const uint32_t count = std::min(file_lines.Size(), CUIStringListBox::kCapacity);
  for (uint32_t i = 0; i < count; ++i) {
    const uint32_t n = std::min(file_lines.Length(i), kShownLineBytes);
    std::memcpy(row, file_lines.Text(i), n);
    row[n] = '\0';
    list->AddItem(row);
  }
}

void CFile_Screen::Draw_File_Content(const char* path, bool fromFile) {
  if (path == nullptr) path = "";
  DebugLog("File : Draw_File_Content : debut");
  list->RemoveAll();
  DebugLog("File : Draw_File_Content : on a vid\xE9 la liste");
  if (fromFile) {
    DebugLog("File : Draw_File_Content : on reprend le contenu du fichier");
    // A file opened from the folder starts at its top; only the way back
    // from the edit-line screen (from file_lines) keeps the position.
    ShowListFromTop(list);
    CTextFileReader reader;
    if (reader.Open(path)) {
      DebugLog("File : Draw_File_Content : on a ouvert le fichier");
      reader.ReadLines(file_lines, ELineRule::kKeepCarriageReturn, kReadBytes, kReadLines);
      AddShownLines();
      reader.Close();
      DebugLog("File : Draw_File_Content : on a ferm\xE9 le fichier");
    }
  } else {
    DebugLog("File : Draw_File_Content : on reprend le contenu du tableau");
    AddShownLines();
    DebugLog("File : Draw_File_Content : on a repris le contenu du tableau");
  }
  DebugLog("File : Draw_File_Content : fin");
}

void CFile_Screen::Refresh_Screen(const char* path, bool fromFile) {
  if (path == nullptr) path = "";
  DebugLog("File : Refresh_Screen : debut");
  DebugLog(path);
  SetBackground(ScreenBackground(), nullptr);
  Draw_File_Content(path, fromFile);
  DebugLog("File : Refresh_Screen : on a rempli la liste");
  list->Draw();
  DebugLog("File : Refresh_Screen : on a dessin\xE9 la liste");
  file_name->SetText(path);
  file_name->Draw();
  delete_button->Draw();
  save_button->Draw();
  exit_button->Draw();
  DebugLog("File : Refresh_Screen : fin");
}

void CFile_Screen::FiredPressEvent(MUIWidget* source) {
  DebugLog("File : FiredPressEvent : debut");
  switch (source->iTag) {
    case 1: {
      DebugLog("File : FiredPressEvent : iTag 1");
      const uint32_t selected = static_cast<uint32_t>(list->selected);
      // The whole line from the table, NUL bytes and all, so that an edit
      // left unchanged writes the same bytes back; the row shows a prefix.
      if (list->selected != -1 && selected < list->GetItemCount() && selected < file_lines.Size()) {
        line_text.assign(file_lines.Text(selected), file_lines.Length(selected));
        line_index = list->selected;
        status = editline_requested;
      }
      DebugLog("File : fin FiredPressEvent : iTag 1");
      break;
    }
    case 2:
      DebugLog("File : FiredPressEvent : iTag 2");
      GetVirtualScreen()->Flush(true);
      DebugLog("File : fin FiredPressEvent : iTag 2");
      break;
    case 3:
      DebugLog("File : FiredPressEvent : iTag 3");
      GetVirtualScreen()->Flush(true);
      DebugLog("File : fin FiredPressEvent : iTag 3");
      break;
    case 4:
      DebugLog("File : debut FiredPressEvent : iTag 4");
      status = file_closed;
      DebugLog("File : fin FiredPressEvent : iTag 4");
      break;
    default:
      // A touched line: the list has set the selection; show it at once, so
      // that the user sees which line Edit will take.
      if (source == list) list->Draw();
      break;
  }
  DebugLog("File : FiredPressEvent : fin");
}
