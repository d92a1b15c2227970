#pragma once
// MUIWidget: the base of every visible element (buttons, labels, fields,
// lists, groups, whole screens): rectangle, text, font, colour scheme, state
// flags, tag, listener and parent, and the text layout that puts a widget's
// text into a box. Widgets paint into the virtual screen only; the event
// loop flushes it to the display.

#include <cstdint>

#include "device/frame_buffer.h"
#include "device/input_reader.h"
#include "device/virtual_screen.h"
#include "gfx/color_scheme.h"
#include "gfx/font.h"

class CUIWidgetGroup;

// A widget's rectangle in screen pixels. A width of 0 hides the widget.
struct UIRect {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;

  UIRect() = default;
  UIRect(int32_t px, int32_t py, int32_t w, int32_t h) : x(px), y(py), width(w), height(h) {}
  // x <= px < x + width and y <= py < y + height, without overflow.
  bool Contains(int32_t px, int32_t py) const {
    return px >= x && int64_t{px} < int64_t{x} + width && py >= y && int64_t{py} < int64_t{y} + height;
  }
};

// textFlags bits.
enum : int32_t {
  kTextCentreX = 1,      // centre each line horizontally
  kTextCentreY = 2,      // centre a single line vertically (multi-line: within a 10-pixel line box)
  kTextMultiLine = 4,    // split at newlines and word-wrap
  kTextMultiLineAlt = 8  // the same as kTextMultiLine
};

class MUIWidget {
 public:
  // The owner's side: told when a widget was pressed.
  class MUIWidgetEvents {
   public:
    virtual void FiredPressEvent(MUIWidget* source) = 0;
    virtual ~MUIWidgetEvents() = default;
  };

  // The longest multi-line text laid out; longer texts are cut.
  static constexpr int32_t kLayoutBuffer = 500;
  // Extra pixels below each laid-out line.
  static constexpr int32_t kLineGap = 5;
  // The height of the line box that kTextCentreY centres in, in multi-line mode.
  static constexpr int32_t kLineBoxHeight = 10;

  MUIWidget(const UIRect& rect, const char* text, MUIWidgetEvents* listener);
  virtual ~MUIWidget();
  MUIWidget(const MUIWidget&) = delete;
  MUIWidget& operator=(const MUIWidget&) = delete;

  virtual void Draw() = 0;
  // True when the display must be flushed.
  virtual bool OnTouch(InputEvent& event) = 0;
  // True when the key was handled and the display must be flushed. By
  // reference: containers may rewrite the code before passing it on.
  virtual bool OnKey(int32_t& key) = 0;
  // Replaces the owned copy of the text (none with null); returns the copy.
  virtual const char* SetText(const char* newText);
  virtual void SetScheme(MColorScheme* newScheme);
  virtual void SetFont(MFont* newFont);
  // Disabling also takes the focus away (through SetFocus).
  virtual bool SetEnabled(bool enable);
  virtual void SetAltText(const char* newText);
  // Focusing also enables (through SetEnabled). False refuses the focus.
  virtual bool SetFocus(bool focus);
  virtual bool IsVisible();

  // Lays out `text` in the box: multi-line and word-wrapped with bit 2 or 3,
  // one aligned line with other bits, else one line at the box's corner.
  // False when a multi-line text ran out of box.
  bool RenderText(const UIRect& box, Color color, int32_t flags);
  // One line in the box, centred by bits 0 and 1 (never left of the box).
  bool RenderAligned(const char* line, const UIRect& box, Color color, int32_t flags);
  // One line with its top-left corner at (x, y); the font's result.
  bool RenderLine(const char* line, int32_t x, int32_t y, Color color);
  // The same, nothing drawn outside `clip`; a line whose corner lies left
  // of the clip is not drawn, one above it is moved down to its top.
  bool RenderLineIn(const char* line, int32_t x, int32_t y, const UIRect& clip, Color color);
  // RenderText with nothing drawn left of the box or in its last columns,
  // which an erase of the box with rounded corners (FillBox, corner 4) only
  // partly covers: a widget that erases only its own rectangle then leaves
  // no text behind when a long text is followed by a short one. Descenders
  // below the box still show.
  bool RenderTextWithin(const UIRect& box, Color color, int32_t flags);

  // The font and the colour scheme drawing uses now: the widget's own, or
  // the skin's for fontIndex and its current scheme.
  MFont* CurrentFont();
  MColorScheme* CurrentScheme();

  UIRect rect;
  MColorScheme* scheme = nullptr;
  MUIWidgetEvents* listener;
  char* text = nullptr;
  int32_t textFlags = 0;
  MFont* font = nullptr;
  bool enabled = true;
  char* altText = nullptr;
  bool focused = false;
  int32_t fontIndex = 0;
  int32_t iTag = 0;
  MVirtualScreen* screen;
  CUIWidgetGroup* parent = nullptr;

 private:
  // One paragraph of the multi-line layout at (x, y), edited in place; the
  // pixels of height it used.
  // While set, every line is drawn inside it.
  const UIRect* textClip = nullptr;
  int32_t RenderParagraph(char* line, int32_t x, int32_t y, int32_t width, const UIRect& box, Color color,
                          int32_t flags);
};
