#include "app/edit_line_screen.h"

#include <cstring>

#include "app/debug_log.h"
#include "app/globals.h"
#include "app/screen_style.h"
#include "ui/keyboard_screen.h"

namespace {
constexpr int32_t kMargin = 5;
constexpr int32_t kButtonHeight = 40;
// The field's keyboard: automatic capitals, drawn over the screen's
// background with its text line too.
constexpr int32_t kInputKeyboardFlags =
    CUIKeyboardScreen::kAutoCapitals | CUIKeyboardScreen::kScreenBackground | CUIKeyboardScreen::kLineBackground;
static_assert(kInputKeyboardFlags == 0x2C0, "the field's keyboard flags");
constexpr int32_t kInputMaxLength = 20;
}  // namespace

CEditLine_Screen::CEditLine_Screen() : CUIScreen(kScreenScheme) {
  MVirtualScreen* vs = GetVirtualScreen();
  const int32_t w = static_cast<int32_t>(vs->GetWidth());
  const int32_t h = static_cast<int32_t>(vs->GetHeight());
  const int32_t buttonWidth = (w - 3 * kMargin) / 2;
  const int32_t contentWidth = w - 2 * kMargin;
  const int32_t rowHeight = (h - kButtonHeight - 4 * kMargin) / 10;
  SetBackground(ScreenBackground(), nullptr);
  DebugLog("Edit : Constructor : debut");

  p_title = new CUILabel(UIRect(kMargin, kMargin, contentWidth, rowHeight), "Edit a line");
  p_title->SetFont(nullptr);
  AddChild(p_title);
  DebugLog("Edit : Constructor : on a cr\xE9\xE9 p_title");

  input = new CUIInput(UIRect(kMargin, 2 * (rowHeight + kMargin), w - 2 * kMargin, rowHeight), "", "Content",
                       kInputMaxLength, kInputKeyboardFlags);
  AddChild(input);
  DebugLog("Edit : Constructor : on a cr\xE9\xE9 la zone de saisie");

  const int32_t buttonY = h - kMargin - kButtonHeight;
  saveButton = new CUIButton(UIRect(kMargin, buttonY, buttonWidth, kButtonHeight), "Save & Exit", this);
  saveButton->iTag = 1;
  AddChild(saveButton);
  DebugLog("Edit : Constructor : on a cr\xE9\xE9 le bouton save");

  cancelButton =
      new CUIButton(UIRect(2 * kMargin + buttonWidth, buttonY, buttonWidth, kButtonHeight), "Cancel", this);
  cancelButton->iTag = 2;
  AddChild(cancelButton);
  DebugLog("Edit : Constructor : fin");
}

void CEditLine_Screen::Refresh_Screen(const char* lineText, uint32_t length) {
  DebugLog("Edit : Refresh_Screen : debut");
  DebugLog(lineText, length);
  SetBackground(ScreenBackground(), nullptr);
  p_title->Draw();
  input->Draw();
  saveButton->Draw();
  cancelButton->Draw();
  DebugLog("Edit : Refresh_Screen : fin");
}

void CEditLine_Screen::FiredPressEvent(MUIWidget* source) {
  DebugLog("Edit : FiredPressEvent : debut");
  // The trace texts name the buttons "iTag 2" and "iTag 3"; they are kept
  // as the log has always shown them.
  if (source->iTag == 1) {
    DebugLog("Edit : FiredPressEvent : iTag 2");
    line_text.assign(input->text != nullptr ? input->text : "");
    status = editline_finished;
  } else if (source->iTag == 2) {
    DebugLog("Edit : debut FiredPressEvent : iTag 3");
    status = editline_finished;
    DebugLog("Edit : fin FiredPressEvent : iTag 3");
  }
  DebugLog("Edit : FiredPressEvent : fin");
}
