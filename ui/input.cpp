#include "ui/input.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "ui/event_loop.h"
#include "ui/keyboard.h"
#include "ui/painting.h"
#include "ui/widget_group.h"

namespace {
constexpr char kEllipsisText[] = "...";
constexpr size_t kEllipsisLength = sizeof kEllipsisText - 1;
}  // namespace

CUIInput::CUIInput(const UIRect& r, const char* newText, const char* newTitle, int32_t maximum, int32_t flags)
    : MUIWidget(r, newText, nullptr), maxLength(maximum), keyboardFlags(flags) {
  if (newTitle != nullptr) {
    const size_t n = std::strlen(newTitle);
    title = new (std::nothrow) char[n + 1];
    if (title != nullptr) std::memcpy(title, newTitle, n + 1);
  }
  textFlags = kTextCentreY;
  fontIndex = 3;
}

CUIInput::~CUIInput() { delete[] title; }

void CUIInput::Draw() {
  if (!IsVisible()) return;
  if ((displayFlags & kParentBackground) == 0)
    FillBox(*screen, rect.x, rect.y, rect.x + rect.width, rect.y + rect.height, CurrentScheme()->BackgroundColor(), 4);
  else if (parent != nullptr)
    parent->DrawBackground(rect);
  MColorScheme* colors = CurrentScheme();
  const Color color = focused ? colors->HighlightColor() : enabled ? colors->TextColor() : colors->DisabledColor();
  MFont* f = CurrentFont();
  if ((displayFlags & kShorten) != 0 && (textFlags & (kTextMultiLine | kTextMultiLineAlt)) == 0 && f != nullptr &&
      text != nullptr && static_cast<int64_t>(f->GetTextWidth(text)) > rect.width) {
    char shortened[kShortenBuffer];
    Shorten(*f, shortened);
    RenderAligned(shortened, rect, color, textFlags);
  } else {
    RenderText(rect, color, textFlags);
  }
}

void CUIInput::Shorten(MFont& f, char (&out)[kShortenBuffer]) {
  const bool ellipsis = (displayFlags & kEllipsis) != 0;
  // Room for the "..." is kept, so a long text never pushes it out.
  const size_t room = sizeof out - 1 - (ellipsis ? kEllipsisLength : 0);
  size_t kept = std::strlen(text);
  if (kept > room) kept = room;
  std::memcpy(out, text, kept);
  std::memcpy(out + kept, kEllipsisText, ellipsis ? kEllipsisLength : 0);
  out[kept + (ellipsis ? kEllipsisLength : 0)] = '\0';
  // The character just before the "..." (or the last one) goes, until the
  // whole is narrower than the box.
  while (kept > 0 && static_cast<int64_t>(f.GetTextWidth(out)) >= rect.width) {
    --kept;
    std::memmove(out + kept, out + kept + 1, ellipsis ? kEllipsisLength + 1 : 1);
  }
}

bool CUIInput::OnTouch(InputEvent& event) {
  if (event.pressure != 0 || !rect.Contains(event.x, event.y)) return false;
  EditOnKeyboard();
  return true;
}

bool CUIInput::OnKey(int32_t& key) {
  if (key != 5 && key != 6) return false;
  EditOnKeyboard();
  return true;
}

void CUIInput::EditOnKeyboard() {
  // The keyboard edits a bounded copy: a text of 200 characters or more is cut.
  char edited[kEditBuffer];
  std::snprintf(edited, sizeof edited, "%s", text != nullptr ? text : "");
  CUIKeyboardScreen* keyboard = (keyboardFlags & CUIKeyboardScreen::kDigitsOnly) != 0
                                    ? static_cast<CUIKeyboardScreen*>(GetNumericKeyboard())
                                    : GetKeyboard();
  if (keyboard != nullptr && keyboard->EditText(edited, title, maxLength, keyboardFlags)) SetText(edited);
  // The screen under the keyboard is painted again with the new text.
  if (CUIEventLoop* loop = GetEventLoop()) loop->redrawRequested = true;
}
