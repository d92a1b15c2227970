#include "ui/keyboard.h"

#include <cstring>
#include <memory>
#include <new>

namespace {

std::unique_ptr<CUIKeyboardScreenImpl> gLetters;
std::unique_ptr<CUIKeyboardNumericScreenImpl> gDigits;

constexpr const char* kLetterKeys = "ABCDEFGHIJKLMNOPQRSTUVWXYZ ";
constexpr const char* kDigitKeys = "1234567890.,-@/";

bool IsBack(const MUIWidget* key) { return key->text != nullptr && std::strcmp(key->text, "Back") == 0; }

}  // namespace

CUIKeyboardScreenImpl::CUIKeyboardScreenImpl() {
  const int32_t width = static_cast<int32_t>(screen->GetWidth());
  const int32_t step = width / 8 - 1;
  int32_t x = 0, y = static_cast<int32_t>(screen->GetHeight()) - kFirstRowFromBottom;
  spaceKey = AddCharacterKeys(kLetterKeys, step, x, y);
  // The special keys go on along the last row.
  AddSpecialKey("<", x, y, step, step - 1);
  shiftKey = AddSpecialKey("^", x, y, step, step - 1);
  digitsKey = AddSpecialKey("123", x, y, step, step - 1);
  AddSpecialKey("Back", x, y, step, 2 * step - 1);
  SetKeyFont();
}

bool CUIKeyboardScreenImpl::OnKey(int32_t& key) {
  switch (key) {
    case 5:
      if (digitsKey != nullptr && digitsKey->enabled)
        SwitchToDigits();
      else
        EndModal();
      return true;
    case 7:
    case 8:
      if (!ShiftEnabled()) return false;
      upperCase = !upperCase;
      return true;
    case 9:
    case 10: {
      if (!ShiftEnabled()) return CUIKeyboardScreen::OnKey(key);
      const bool selected = upperCase;
      upperCase = key == 9;
      const bool handled = PressFocusedKey(key);
      upperCase = selected;
      // Automatic capitals follow the text the key changed, not the case
      // forced for it.
      UpdateCase();
      return handled;
    }
    default:
      return CUIKeyboardScreen::OnKey(key);
  }
}

void CUIKeyboardScreenImpl::FiredPressEvent(MUIWidget* key) {
  if (key != nullptr && key == shiftKey)
    upperCase = !upperCase;  // the cursor shows the case when it is next painted
  else if (key != nullptr && key == digitsKey)
    SwitchToDigits();
  else
    CUIKeyboardScreen::FiredPressEvent(key);
}

bool CUIKeyboardScreenImpl::EditText(char* edited, const char* newTitle, int32_t maximum, int32_t flags) {
  if (digitsKey != nullptr) digitsKey->SetEnabled((flags & kNoDigits) == 0);
  if (shiftKey != nullptr) shiftKey->SetEnabled((flags & (kCapitalsOnly | kSmallOnly)) == 0);
  if (spaceKey != nullptr) spaceKey->SetEnabled((flags & kNoSpace) == 0);
  return CUIKeyboardScreen::EditText(edited, newTitle, maximum, flags);
}

void CUIKeyboardScreenImpl::SwitchToDigits() {
  CUIKeyboardNumericScreenImpl* digits = GetNumericKeyboard();
  if (digits == nullptr || !digits->EditText(buffer, title, maxLength, keyboardFlags)) return;
  CUIEventLoop* loop = GetEventLoop();
  loop->quitRequested = digits->closeAll;
  loop->redrawRequested = !digits->closeAll;
  // The digits keyboard changed the text under the automatic capitals.
  UpdateCase();
}

CUIKeyboardNumericScreenImpl::CUIKeyboardNumericScreenImpl() {
  const int32_t width = static_cast<int32_t>(screen->GetWidth());
  const int32_t step = width / 5 - 1, wide = width / 4 - 1;
  int32_t x = 0, y = static_cast<int32_t>(screen->GetHeight()) - kFirstRowFromBottom;
  AddCharacterKeys(kDigitKeys, step, x, y);
  if (x != 0) {
    x = 0;
    y += kRowStep;
  }
  AddSpecialKey("<", x, y, wide, wide - 1);
  numericSpaceKey = AddSpecialKey(" ", x, y, wide, wide - 1);
  lettersKey = AddSpecialKey("ABC", x, y, wide, wide - 1);
  AddSpecialKey("Back", x, y, wide, wide - 1);
  SetKeyFont();
}

bool CUIKeyboardNumericScreenImpl::OnKey(int32_t& key) {
  if (key == 5) {
    EndModal();
    if (lettersKey == nullptr || !lettersKey->enabled) closeAll = true;
    return true;
  }
  // Select leaves both keyboards; 9 and 10 become a select for the group.
  const bool select = key == 6;
  const bool handled = CUIKeyboardScreen::OnKey(key);
  if (select) closeAll = true;
  return handled;
}

void CUIKeyboardNumericScreenImpl::FiredPressEvent(MUIWidget* key) {
  if (key != nullptr && key == lettersKey) {
    EndModal();
  } else if (key != nullptr && IsBack(key)) {
    EndModal();
    closeAll = true;
  } else {
    CUIKeyboardScreen::FiredPressEvent(key);
  }
}

bool CUIKeyboardNumericScreenImpl::EditText(char* edited, const char* newTitle, int32_t maximum, int32_t flags) {
  if (lettersKey != nullptr) lettersKey->SetEnabled((flags & kDigitsOnly) == 0);
  closeAll = false;
  return CUIKeyboardScreen::EditText(edited, newTitle, maximum, flags);
}

CUIKeyboardScreenImpl* GetKeyboard() {
  if (gLetters == nullptr) gLetters.reset(new (std::nothrow) CUIKeyboardScreenImpl());
  return gLetters.get();
}

CUIKeyboardNumericScreenImpl* GetNumericKeyboard() {
  if (gDigits == nullptr) gDigits.reset(new (std::nothrow) CUIKeyboardNumericScreenImpl());
  return gDigits.get();
}

void ResetKeyboardsForTesting() {
  gLetters.reset();
  gDigits.reset();
}
