#include "ui/label.h"

#include "ui/widget_group.h"

CUILabel::CUILabel(const UIRect& r, const char* newText) : MUIWidget(r, newText, nullptr) {
  fontIndex = 3;
  enabled = false;
}

void CUILabel::Draw() {
  // The label erases itself with its group's background, so it can only be
  // drawn inside a group.
  if (!IsVisible() || parent == nullptr) return;
  parent->DrawBackground(rect);
  // A text wider than the label is cut at its edge: only the rectangle is
  // erased on the next draw.
  RenderTextWithin(rect, GetTextColor(), textFlags);
}

Color CUILabel::GetTextColor() { return textColor != 0 ? textColor : CurrentScheme()->TextColor(); }
