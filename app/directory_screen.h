#pragma once
// CDirectory_Screen: one directory of the memory card as a sorted list of the
// names that pass the configuration's name filters, with an entry for going
// back to the parent directory. Open enters a directory in place or hands a
// file to the state machine (file_path, status); Exit asks it to end. The
// screen never switches screens itself.

#include <cstdint>
#include <string>

#include "app/screen_style.h"
#include "ui/button.h"
#include "ui/label.h"
#include "ui/list_box.h"
#include "ui/screen.h"

class CDirectory_Screen : public CUIScreen, public MUIWidget::MUIWidgetEvents {
 public:
  // The item that goes one level up.
  static constexpr const char* kBackToParent = "<- Back to parent...";
  // The item after the shown names when the folder holds more.
  static constexpr const char* kContinue = "Continue...";
  // The names a folder shows; dir_entries keeps only as many.
  static constexpr uint32_t kShownNames = 48;
  static constexpr int32_t kSchemeIndex = kScreenScheme;
  static constexpr int32_t kOpenTag = 1;
  static constexpr int32_t kExitTag = 2;

  // Sets dir_path to the card's root and fills the list from it.
  CDirectory_Screen();

  // Reloads the list for `path` and redraws the title, the list and the buttons.
  void Refresh_Screen(const std::string& path);
  // Fills dir_entries and the list from the directory at `path`.
  void Draw_Directory_Content(const std::string& path);
  // Open, Exit and a touched list item; every press re-reads and redraws
  // the directory and flushes the display.
  void FiredPressEvent(MUIWidget* source) override;

  CUILabel* Title() const { return title; }
  CUIStringListBox* List() const { return list; }
  CUIButton* OpenButton() const { return openButton; }
  CUIButton* ExitButton() const { return exitButton; }

 private:
  void OpenSelection();

  CUILabel* title = nullptr;
  CUIButton* openButton = nullptr;
  CUIButton* exitButton = nullptr;
  CUIStringListBox* list = nullptr;
  int32_t screenWidth;
  int32_t screenHeight;
  int32_t margin = 5;
  int32_t gap;
  int32_t rowHeight;
  int32_t listHeight;
};

// The path one level up. Paths are built by plain concatenation, so they carry
// doubled separators ("/mnt/sdcard//a"); going back never leaves the card:
// "/mnt/sdcard/" gives "/mnt/sdcard", which stays itself.
std::string ParentPath(const std::string& path);
