#pragma once
// CMessageBoxScreen: a full-screen message with a title, a word-wrapped text
// and a row of up to three buttons chosen by flag bits, over a picture or a
// colour. ShowMessageBox shows one modally and returns the tag of the button
// pressed: each button's tag is its own flag bit.

#include <cstdint>

#include "gfx/image.h"
#include "ui/button.h"
#include "ui/screen.h"

enum : int32_t {
  kMessageBoxPicture13 = 0x1,  // background: the skin's image 13
  kMessageBoxPicture15 = 0x2,  // background: the skin's image 15 (wins)
  kMessageBoxPicture14 = 0x4,  // background: the skin's image 14
  kMessageBoxYes = 0x8,
  kMessageBoxNo = 0x10,
  kMessageBoxOK = 0x20,
  kMessageBoxCancel = 0x40,
  kMessageBoxContinue = 0x80,  // only when no Yes, No or OK
  kMessageBoxNoWait = 0x100    // draw it and return 0; no default button
};

class CMessageBoxScreen : public CUIScreen, public MUIWidget::MUIWidgetEvents {
 public:
  static constexpr int32_t kMaxButtons = 3;

  // A given image stays the caller's; a picture chosen by the flags is the box's.
  CMessageBoxScreen(const char* title, const char* message, int32_t flags, int32_t schemeIndex, Color titleColor,
                    MImage* image);
  ~CMessageBoxScreen() override;

  // Ends the run with the button's tag as the result.
  void FiredPressEvent(MUIWidget* source) override;

  CUIButton* ButtonAt(int32_t i) const { return i >= 0 && i < kMaxButtons ? buttons[i] : nullptr; }

 private:
  CUIButton* buttons[kMaxButtons] = {};
  bool ownsImage = false;
};

// The tag of the button that ended the box (0 when shown without waiting, or
// when the run ended otherwise).
int32_t ShowMessageBox(const char* title, const char* message, int32_t flags, int32_t schemeIndex, Color titleColor,
                       MImage* image);
