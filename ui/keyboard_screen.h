#pragma once
// CUIKeyboardScreen: the full-screen keyboard shown modally over the current
// screen. It edits the caller's text buffer in place, shows the title and the
// text on a line at the top with a blinking cursor, types the keys pressed
// into the text and ends the modal run; leaving it always keeps the edits.
// The two layouts (ui/keyboard.h) add their keys and special keys.

#include <cstdint>

#include "ui/button.h"
#include "ui/event_loop.h"
#include "ui/screen.h"

class CUIKeyboardScreen : public CUIScreen,
                          public MUIWidget::MUIWidgetEvents,
                          public CUIEventLoop::MUIEventLoopEvents {
 public:
  // The colour scheme the keyboards are shown with; their special keys and
  // their text line use kKeyScheme.
  static constexpr int32_t kScreenScheme = 6;
  static constexpr int32_t kKeyScheme = 5;
  // The longest text a keyboard lets grow: the caller's buffer needs room
  // for this many characters and the NUL.
  static constexpr int32_t kMaxTextLength = 20;
  // The top line: "title: text" is cut to 39 characters and the NUL.
  static constexpr int32_t kDisplayCapacity = 40;
  // Idle passes between cursor toggles.
  static constexpr int32_t kBlinkPasses = 10;
  // The text line's height; the rule under it lies one pixel lower.
  static constexpr int32_t kTextLineHeight = 19;
  // Every key is this high; rows lie kRowStep apart from H - kFirstRowFromBottom.
  static constexpr int32_t kKeyHeight = 38;
  static constexpr int32_t kRowStep = 40;
  static constexpr int32_t kFirstRowFromBottom = 161;

  // keyboardFlags bits.
  enum : int32_t {
    kNoDigits = 0x1,          // the letters keyboard's "123" key is disabled
    kCapitalsOnly = 0x2,      // start in capitals, shift disabled
    kSmallOnly = 0x4,         // start in small letters, shift disabled
    kDigitsOnly = 0x8,        // the input field opens the digits keyboard, "ABC" disabled
    kNoSpace = 0x20,          // the letters keyboard's space key is disabled
    kAutoCapitals = 0x40,     // capitals while the text is empty or ends in a blank
    kScreenBackground = 0x80, // draw the screen's background instead of clearing to black
    kLineBackground = 0x200,  // the text line over the screen's background
  };

  CUIKeyboardScreen();

  void Draw() override;
  // 2 backspace, 6 leaves, 9 and 10 press the focused key; others go to the group.
  bool OnKey(int32_t& key) override;
  // A key of this keyboard was pressed: a character typed, "<" or "Back".
  void FiredPressEvent(MUIWidget* key) override;
  // Blinks the cursor, once every kBlinkPasses passes.
  void OnIdle(CUIEventLoop* loop) override;
  // Runs the keyboard modally on `edited` (the caller's buffer, NUL-terminated,
  // with room for min(maximum, 20) characters and the NUL) and returns true
  // when the user leaves it. Without a buffer nothing is shown and the result
  // is false.
  virtual bool EditText(char* edited, const char* newTitle, int32_t maximum, int32_t flags);

  char* buffer = nullptr;
  const char* title = nullptr;
  bool cursorShown = false;
  CUIEventLoop::MUIEventLoopEvents* savedListener = nullptr;
  char display[kDisplayCapacity] = {};
  bool upperCase = true;
  int32_t blinkCountdown = kBlinkPasses;
  int32_t keyboardFlags = kAutoCapitals | kScreenBackground | kLineBackground;
  int32_t maxLength = kMaxTextLength;

 protected:
  // With kAutoCapitals: capitals when the text is empty or ends in a blank.
  void UpdateCase();
  // Removes the last character; false when the text was empty.
  bool Backspace();
  void DrawTextLine();
  // Adds a key at (x, y), its listener this keyboard; special keys get the
  // key scheme. Null when it could not be added.
  CUIButton* AddKey(const char* keyText, int32_t x, int32_t y, int32_t width, bool special);
  // A special key at (x, y); x moves on by step + 1, without wrapping.
  CUIButton* AddSpecialKey(const char* keyText, int32_t& x, int32_t y, int32_t step, int32_t width);
  // A key per character, each step - 1 wide and step + 1 further right; a
  // row ends once x reaches the screen's last column. x and y move on; the
  // last key is returned.
  CUIButton* AddCharacterKeys(const char* characters, int32_t step, int32_t& x, int32_t& y);
  // Gives every key the skin's key font while the screen keeps its own.
  static constexpr int32_t kKeyFont = 1;
  void SetKeyFont();
  // The focused key is pressed: the key becomes 6 for the group.
  bool PressFocusedKey(int32_t& key);
};
