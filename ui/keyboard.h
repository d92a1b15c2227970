#pragma once
// The two on-screen keyboards and their process-wide accessors. The letters
// keyboard types A to Z and the blank, and has backspace, shift and a key to
// the digits keyboard; the digits keyboard types digits and a few signs, and
// has backspace, a blank and a key back to the letters. Both are made once,
// on first use, and reused for every edit.

#include <cstdint>

#include "ui/keyboard_screen.h"

class CUIKeyboardScreenImpl : public CUIKeyboardScreen {
 public:
  CUIKeyboardScreenImpl();

  // Also 5 (to the digits, or leave), 7 and 8 (shift), and 9 and 10 (the
  // focused key as a capital or a small letter, for that key only).
  bool OnKey(int32_t& key) override;
  void FiredPressEvent(MUIWidget* key) override;
  // Enables "123", "^" and the blank as the flags allow, then edits.
  bool EditText(char* edited, const char* newTitle, int32_t maximum, int32_t flags) override;

  CUIButton* digitsKey = nullptr;
  CUIButton* shiftKey = nullptr;
  CUIButton* spaceKey = nullptr;

 private:
  bool ShiftEnabled() const { return shiftKey != nullptr && shiftKey->enabled; }
  // The digits keyboard over this one on the same text; its "Back" closes
  // both keyboards, its "ABC" comes back here.
  void SwitchToDigits();
};

class CUIKeyboardNumericScreenImpl : public CUIKeyboardScreen {
 public:
  CUIKeyboardNumericScreenImpl();

  // 5 leaves (closing the letters keyboard too when "ABC" is disabled); 6
  // leaves and closes both.
  bool OnKey(int32_t& key) override;
  void FiredPressEvent(MUIWidget* key) override;
  // "ABC" is disabled with kDigitsOnly.
  bool EditText(char* edited, const char* newTitle, int32_t maximum, int32_t flags) override;

  // The user left with "Back" (or a key that means it): the letters
  // keyboard under this one closes as well.
  bool closeAll = false;
  CUIButton* lettersKey = nullptr;
  CUIButton* numericSpaceKey = nullptr;
};

// The process-wide keyboards, made on first use and destroyed at exit; null
// only when memory ran out.
CUIKeyboardScreenImpl* GetKeyboard();
CUIKeyboardNumericScreenImpl* GetNumericKeyboard();

// Destroys both keyboards, so the next use makes them afresh over the
// virtual screen and skin of that moment.
void ResetKeyboardsForTesting();
