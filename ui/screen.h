#pragma once
// CUIScreen: the group that fills the whole display. It paints a background
// (a picture, a colour, or the skin's), carries the colour scheme number it
// is shown with, and can be shown modally: DoModal runs a nested event loop
// until the screen ends it with EndModal.

#include <cstdint>

#include "gfx/image.h"
#include "ui/widget_group.h"

class CUIScreen : public CUIWidgetGroup {
 public:
  explicit CUIScreen(int32_t schemeIndex);
  ~CUIScreen() override;

  // The background over the whole screen, then the children.
  void Draw() override;
  // The background picture (the screen's own, else the skin's image 0) over
  // the area, after a colour fill wherever the picture may not cover it.
  void DrawBackground(const UIRect& area) override;
  // Takes the colour (0: the scheme's background colour) and the picture
  // (owned; null: the skin's); redraws the screen when either changed.
  virtual void SetBackground(Color color, MImage* image);
  // Shows the screen with another scheme from now on.
  virtual void SetColorSchemeIndex(int32_t index);
  // Makes this the event loop's screen and runs the loop until EndModal;
  // then puts back the previous screen and colour scheme. Returns `result`.
  virtual int32_t DoModal();
  virtual void EndModal();

  Color BackgroundColor() const { return backgroundColor; }
  MImage* BackgroundImage() const { return backgroundImage; }
  int32_t ColorSchemeIndex() const { return colorSchemeIndex; }

  int32_t result = 0;

 protected:
  Color backgroundColor = 0;
  MImage* backgroundImage = nullptr;
  int32_t colorSchemeIndex;
};
