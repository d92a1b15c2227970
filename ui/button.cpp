#include "ui/button.h"

#include "sysutil/platform_time.h"
#include "ui/painting.h"

CUIButton::CUIButton(const UIRect& r, const char* newText, MUIWidgetEvents* events) : MUIWidget(r, newText, events) {
  textFlags = kTextCentreX | kTextCentreY;
}

void CUIButton::Draw() {
  MColorScheme* colors = CurrentScheme();
  const Color state = focused ? colors->HighlightColor() : enabled ? colors->TextColor() : colors->DisabledColor();
  const Color face = colors->FaceColor();
  const Color fill = pressed ? state : face, ink = pressed ? face : state;
  FillBox(*screen, rect.x, rect.y, rect.x + rect.width, rect.y + rect.height, fill, 4);
  RenderText(rect, ink, textFlags);
}

bool CUIButton::OnTouch(InputEvent& event) {
  if (event.pressure != 0) {
    if (!pressed) {
      pressed = true;
      Draw();
    }
    return true;
  }
  pressed = false;
  Draw();
  // A release elsewhere (the pen slid off) only pops the button up.
  if (rect.Contains(event.x, event.y) && listener != nullptr) listener->FiredPressEvent(this);
  return true;
}

bool CUIButton::OnKey(int32_t& key) {
  if (key != 6) return false;
  pressed = true;
  Draw();
  screen->Flush(true);
  pressed = false;
  SleepMicroseconds(kFlashMicroseconds);
  Draw();
  screen->Flush(true);
  if (listener != nullptr) listener->FiredPressEvent(this);
  return true;
}
