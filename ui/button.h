#pragma once
// CUIButton: a filled box with cut corners and centred text. Its colours swap
// while it is held; it fires its listener when the pen is lifted over it, or
// after a short pressed flash when the remote's select key reaches it.

#include "ui/widget.h"

class CUIButton : public MUIWidget {
 public:
  // How long the select key shows the button pressed.
  static constexpr uint32_t kFlashMicroseconds = 50000;

  CUIButton(const UIRect& rect, const char* text, MUIWidgetEvents* listener);

  void Draw() override;
  bool OnTouch(InputEvent& event) override;
  bool OnKey(int32_t& key) override;

  bool IsPressed() const { return pressed; }

 private:
  bool pressed = false;
};
