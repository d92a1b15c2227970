#pragma once
// CUILabel: a passive line of text. It never takes a touch or the focus,
// erases its area with its group's background and draws its text in its own
// colour or the scheme's text colour.

#include "ui/widget.h"

class CUILabel : public MUIWidget {
 public:
  CUILabel(const UIRect& rect, const char* text);

  void Draw() override;
  bool OnTouch(InputEvent&) override { return false; }
  bool OnKey(int32_t&) override { return false; }
  // A label stays disabled and unfocused: focus moves pass over it.
  bool SetEnabled(bool) override { return false; }
  bool SetFocus(bool) override { return false; }
  // textColor, or the scheme's text colour when it is 0.
  virtual Color GetTextColor();

  Color textColor = 0;
};
