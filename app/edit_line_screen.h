#pragma once
// CEditLine_Screen: the new text of one line, typed on the on-screen
// keyboard from the "Content" field. "Save & Exit" hands the typed text to
// the state machine, "Cancel" hands back the line unchanged. The field keeps
// its text from one visit to the next.

#include <cstdint>

#include "ui/button.h"
#include "ui/input.h"
#include "ui/label.h"
#include "ui/screen.h"

class CEditLine_Screen : public CUIScreen, public MUIWidget::MUIWidgetEvents {
 public:
  CEditLine_Screen();
  // Draws the screen's widgets; the text only goes to the debug log.
  void Refresh_Screen(const char* lineText, uint32_t length);
  void FiredPressEvent(MUIWidget* source) override;

  CUIInput* Input() const { return input; }
  CUIButton* SaveButton() const { return saveButton; }
  CUIButton* CancelButton() const { return cancelButton; }

 private:
  CUILabel* p_title;
  CUIButton* saveButton;
  CUIButton* cancelButton;
  CUIInput* input;
};
