#pragma once
// CUIInput: a one-line text in a box that the user changes on the on-screen
// keyboard. A tap on it, or the remote's select keys, open the keyboard
// modally on a copy of the text; leaving the keyboard sets the edited text.
// A text too wide for the box is shown shortened at its end, with "...".

#include <cstdint>

#include "ui/widget.h"

class CUIInput : public MUIWidget {
 public:
  // displayFlags bits.
  enum : int32_t {
    kParentBackground = 0x1,  // the parent paints the box's background
    kShorten = 0x2,           // shorten a text too wide for the box
    kEllipsis = 0x4,          // mark a shortened text with "..."
  };
  // The longest text that drawing shortens; longer texts are cut first.
  static constexpr int32_t kShortenBuffer = 500;
  // The edit buffer handed to the keyboard: a longer text is cut to 199
  // characters (the keyboards keep texts far shorter).
  static constexpr int32_t kEditBuffer = 200;

  CUIInput(const UIRect& rect, const char* text, const char* title, int32_t maxLength, int32_t keyboardFlags);
  ~CUIInput() override;

  void Draw() override;
  // A release inside the box opens the keyboard; pen-down samples do nothing.
  bool OnTouch(InputEvent& event) override;
  // 5 and 6 open the keyboard.
  bool OnKey(int32_t& key) override;

  // Edits the text on the keyboard that keyboardFlags choose (the digits
  // keyboard with bit 3), then asks the event loop for a redraw.
  void EditOnKeyboard();

  char* title = nullptr;
  int32_t maxLength;
  int32_t keyboardFlags;
  int32_t displayFlags = kShorten | kEllipsis;

 private:
  // The text cut at its end until it is narrower than the box, in `out`.
  void Shorten(MFont& f, char (&out)[kShortenBuffer]);
};
