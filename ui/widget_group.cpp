#include "ui/widget_group.h"

CUIWidgetGroup::CUIWidgetGroup(const UIRect& r) : MUIWidget(r, nullptr, nullptr) {}

CUIWidgetGroup::~CUIWidgetGroup() { CUIWidgetGroup::RemoveAll(); }

void CUIWidgetGroup::Draw() {
  for (MUIWidget* child : children)
    if (child != nullptr) child->Draw();
}

bool CUIWidgetGroup::OnTouch(InputEvent& event) {
  MUIWidget* target = FindChildAt(event.x, event.y);
  bool handled = false;
  // A child the pen slid off is told the pen went up elsewhere, so a held
  // button pops up without firing.
  if (target != touched && touched != nullptr) {
    InputEvent release = {event.x, event.y, 0};
    handled = touched->OnTouch(release);
  }
  if (target != nullptr && target->OnTouch(event)) handled = true;
  touched = target;
  return handled;
}

bool CUIWidgetGroup::OnKey(int32_t& key) {
  const int32_t direction = key == 3 ? -1 : key == 4 ? 1 : 0;
  if (MoveFocus(direction)) return true;
  MUIWidget* child = GetFocusedChild(1);
  if (child == nullptr) return false;
  if (!child->focused) {
    child->SetFocus(true);
    child->Draw();
  }
  return child->OnKey(key);
}

void CUIWidgetGroup::SetScheme(MColorScheme* newScheme) {
  MUIWidget::SetScheme(newScheme);
  for (MUIWidget* child : children)
    if (child != nullptr) child->SetScheme(newScheme);
}

void CUIWidgetGroup::SetFont(MFont* newFont) {
  MUIWidget::SetFont(newFont);
  for (MUIWidget* child : children)
    if (child != nullptr) child->SetFont(newFont);
}

bool CUIWidgetGroup::AddChild(MUIWidget* child) {
  for (MUIWidget*& slot : children) {
    if (slot != nullptr) continue;
    slot = child;
    if (child != nullptr) child->parent = this;
    return true;
  }
  return false;
}

bool CUIWidgetGroup::RemoveChild(MUIWidget* child) {
  for (MUIWidget*& slot : children) {
    if (slot != child) continue;
    ForgetTouched(child);
    slot = nullptr;
    delete child;
    return true;
  }
  return false;
}

bool CUIWidgetGroup::HasChild(MUIWidget* child) {
  for (MUIWidget* slot : children)
    if (slot == child) return true;
  return false;
}

int32_t CUIWidgetGroup::CountChildren() {
  int32_t count = 0;
  for (MUIWidget* slot : children)
    if (slot != nullptr) ++count;
  return count;
}

void CUIWidgetGroup::RemoveAll() {
  touched = nullptr;
  for (MUIWidget*& slot : children) {
    MUIWidget* child = slot;
    slot = nullptr;
    delete child;
  }
}

void CUIWidgetGroup::ForgetTouched(MUIWidget* child) {
  if (child != nullptr && touched == child) touched = nullptr;
}

MUIWidget* CUIWidgetGroup::FindChildAt(int32_t x, int32_t y) {
  for (MUIWidget* child : children)
    if (child != nullptr && child->enabled && child->rect.Contains(x, y)) return child;
  return nullptr;
}

MUIWidget* CUIWidgetGroup::GetFocusedChild(int32_t direction, int32_t* slot) {
  for (int32_t i = 0; i < kSlots; ++i) {
    if (children[i] == nullptr || !children[i]->focused) continue;
    if (slot != nullptr) *slot = i;
    return children[i];
  }
  return FirstFocusable(direction);
}

MUIWidget* CUIWidgetGroup::FirstFocusable(int32_t direction) {
  for (int32_t n = 0; n < kSlots; ++n) {
    MUIWidget* child = children[direction > 0 ? n : kSlots - 1 - n];
    if (child != nullptr && child->enabled && child->IsVisible()) return child;
  }
  return nullptr;
}

bool CUIWidgetGroup::MoveFocus(int32_t direction) {
  if (direction == 0) return false;
  direction = direction > 0 ? 1 : -1;
  int32_t s = -1;
  MUIWidget* current = GetFocusedChild(direction, &s);
  if (current == nullptr) return false;
  if (!current->focused) {
    current->SetFocus(true);
    current->Draw();
    screen->Flush(true);
    return true;
  }
  for (int32_t i = (s + direction + kSlots) % kSlots; i != s; i = (i + direction + kSlots) % kSlots) {
    MUIWidget* child = children[i];
    if (child == nullptr || !child->enabled || !child->IsVisible()) continue;
    if (!child->SetFocus(true)) continue;
    current->SetFocus(false);
    current->Draw();
    child->Draw();
    screen->Flush(true);
    return true;
  }
  return false;
}
