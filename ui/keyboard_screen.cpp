#include "ui/keyboard_screen.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

#include "ui/painting.h"
#include "ui/skin.h"

namespace {

MColorScheme* KeyScheme() { return GetColorSchemeManager()->GetSchemeObject(CUIKeyboardScreen::kKeyScheme); }

char InCase(char c, bool capital) {
  if (capital && c >= 'a' && c <= 'z') return static_cast<char>(c - 'a' + 'A');
  if (!capital && c >= 'A' && c <= 'Z') return static_cast<char>(c - 'A' + 'a');
  return c;
}

}  // namespace

CUIKeyboardScreen::CUIKeyboardScreen() : CUIScreen(kScreenScheme) {}

void CUIKeyboardScreen::Draw() {
  if ((keyboardFlags & kScreenBackground) != 0) {
    CUIScreen::Draw();
  } else {
    const uint64_t bytes = uint64_t{screen->GetWidth()} * screen->GetHeight() * screen->GetBitsPerPixel() / 8;
    if (screen->GetBuffer() != nullptr && bytes <= SIZE_MAX) std::memset(screen->GetBuffer(), 0, bytes);
    FillBox(*screen, rect.x, rect.y, rect.x + rect.width, rect.y + rect.height, CurrentScheme()->BackgroundColor(), 4);
    CUIWidgetGroup::Draw();
  }
  DrawTextLine();
  DrawHLine(*screen, rect.x, rect.y + kTextLineHeight + 1, rect.x + rect.width, colorBlack);
}

void CUIKeyboardScreen::DrawTextLine() {
  // snprintf cuts a title and text that do not fit the line's buffer.
  const char* edited = buffer != nullptr ? buffer : "";
  if (title != nullptr)
    std::snprintf(display, sizeof display, "%s: %s", title, edited);
  else
    std::snprintf(display, sizeof display, "%s", edited);
  const UIRect line(rect.x, rect.y, rect.width, kTextLineHeight);
  if ((keyboardFlags & kLineBackground) != 0)
    DrawBackground(line);
  else
    FillBox(*screen, line.x, line.y, line.x + line.width, line.y + line.height, KeyScheme()->BackgroundColor(), 4);
  RenderLine(display, rect.x + 2, rect.y + 4, CurrentScheme()->TextColor());
}

bool CUIKeyboardScreen::OnKey(int32_t& key) {
  switch (key) {
    case 2: {
      const bool removed = Backspace();
      DrawTextLine();
      return removed;
    }
    case 6:
      EndModal();
      return true;
    case 9:
    case 10:
      return PressFocusedKey(key);
    default:
      return CUIWidgetGroup::OnKey(key);
  }
}

bool CUIKeyboardScreen::PressFocusedKey(int32_t& key) {
  key = 6;
  return CUIWidgetGroup::OnKey(key);
}

void CUIKeyboardScreen::FiredPressEvent(MUIWidget* key) {
  if (key == nullptr || key->text == nullptr || buffer == nullptr) return;
  bool changed = false;
  const char* keyText = key->text;
  if (keyText[0] != '\0' && keyText[1] == '\0') {
    if (keyText[0] == '<') {
      changed = Backspace();
    } else {
      // The caller's buffer holds maxLength characters and the NUL: a full
      // text ignores the key.
      const size_t length = std::strlen(buffer);
      if (static_cast<int64_t>(length) < maxLength) {
        buffer[length] = InCase(keyText[0], upperCase);
        buffer[length + 1] = '\0';
        UpdateCase();
        changed = true;
      }
    }
  } else if (std::strcmp(keyText, "Back") == 0) {
    EndModal();
  }
  if (changed) {
    blinkCountdown = kBlinkPasses;
    DrawTextLine();
  }
}

void CUIKeyboardScreen::OnIdle(CUIEventLoop*) {
  if (--blinkCountdown > 0) return;
  cursorShown = !cursorShown;
  if (cursorShown) {
    MFont* f = CurrentFont();
    const int64_t x = int64_t{rect.x} + (f != nullptr ? f->GetTextWidth(display) : 0) + 3;
    // A capital cursor is taller than a small one.
    const int32_t top = rect.y + (upperCase ? 2 : 5);
    DrawVLine(*screen, static_cast<int32_t>(std::min<int64_t>(x, INT32_MAX)), top, rect.y + 16,
              CurrentScheme()->TextColor());
  } else {
    // Hidden, the line is exactly as it is without a cursor: drawn again
    // over the same background (the screen's picture or the key scheme's
    // colour), never a bar of some other colour.
    DrawTextLine();
  }
  blinkCountdown = kBlinkPasses;
  screen->Flush(true);
}

bool CUIKeyboardScreen::EditText(char* edited, const char* newTitle, int32_t maximum, int32_t flags) {
  CUIEventLoop* loop = GetEventLoop();
  if (edited == nullptr || loop == nullptr) return false;
  title = newTitle;
  maxLength = std::clamp(maximum, 0, kMaxTextLength);
  buffer = edited;
  keyboardFlags = flags;
  savedListener = loop->listener;
  if ((flags & kCapitalsOnly) != 0)
    upperCase = true;
  else if ((flags & kSmallOnly) != 0)
    upperCase = false;
  // The keyboard takes the idle calls, so the application's state machine
  // waits until the edit ends.
  loop->listener = this;
  UpdateCase();
  DoModal();
  loop->listener = savedListener;
  title = nullptr;
  buffer = nullptr;
  return true;
}

void CUIKeyboardScreen::UpdateCase() {
  if ((keyboardFlags & kAutoCapitals) == 0 || buffer == nullptr) return;
  const size_t length = std::strlen(buffer);
  upperCase = length == 0 || buffer[length - 1] == ' ';
}

bool CUIKeyboardScreen::Backspace() {
  if (buffer == nullptr || buffer[0] == '\0') return false;
  buffer[std::strlen(buffer) - 1] = '\0';
  UpdateCase();
  return true;
}

CUIButton* CUIKeyboardScreen::AddKey(const char* keyText, int32_t x, int32_t y, int32_t width, bool special) {
  auto* key = new (std::nothrow) CUIButton(UIRect(x, y, width, kKeyHeight), keyText, this);
  if (key == nullptr) return nullptr;
  if (special) key->SetScheme(KeyScheme());
  if (!AddChild(key)) {
    delete key;
    return nullptr;
  }
  return key;
}

CUIButton* CUIKeyboardScreen::AddSpecialKey(const char* keyText, int32_t& x, int32_t y, int32_t step, int32_t width) {
  CUIButton* key = AddKey(keyText, x, y, width, true);
  x += step + 1;
  return key;
}

CUIButton* CUIKeyboardScreen::AddCharacterKeys(const char* characters, int32_t step, int32_t& x, int32_t& y) {
  const int32_t width = static_cast<int32_t>(screen->GetWidth());
  CUIButton* last = nullptr;
  for (const char* c = characters; *c != '\0'; ++c) {
    const char keyText[2] = {*c, '\0'};
    last = AddKey(keyText, x, y, step - 1, false);
    x += step + 1;
    if (x >= width - 1) {
      x = 0;
      y += kRowStep;
    }
  }
  return last;
}

void CUIKeyboardScreen::SetKeyFont() {
  // By number, not by pointer: the keyboard outlives a change of skin, whose
  // fonts go with the old skin.
  for (MUIWidget* child : children)
    if (child != nullptr) child->fontIndex = kKeyFont;
}
