#pragma once
// The key of a keyboard by its text, as a user finds it: for tests and
// benchmarks that press keys.

#include <cstring>

#include "ui/keyboard_screen.h"

// Null when the keyboard has no key with that text.
inline MUIWidget* FindKey(CUIKeyboardScreen* keyboard, const char* keyText) {
  for (int32_t slot = 0; keyboard != nullptr && slot < CUIWidgetGroup::kSlots; ++slot) {
    MUIWidget* child = keyboard->ChildAt(slot);
    if (child != nullptr && child->text != nullptr && std::strcmp(child->text, keyText) == 0) return child;
  }
  return nullptr;
}
