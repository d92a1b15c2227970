#include "ui/message_box.h"

#include "ui/label.h"
#include "ui/skin.h"

namespace {
constexpr int32_t kFirstLineY = 20;
constexpr int32_t kButtonY = 195;
constexpr int32_t kButtonHeight = 40;
constexpr int32_t kMessageBottom = 190;
constexpr int32_t kBigFont = 4;

struct ButtonKind {
  int32_t bit;
  const char* text;
};
// In the order they are made; Continue only when none of the first three.
constexpr ButtonKind kKinds[] = {{kMessageBoxYes, "Yes"},
                                 {kMessageBoxNo, "No"},
                                 {kMessageBoxOK, "OK"},
                                 {kMessageBoxContinue, "Continue"},
                                 {kMessageBoxCancel, "Cancel"}};
}  // namespace

CMessageBoxScreen::CMessageBoxScreen(const char* title, const char* message, int32_t flags, int32_t schemeIndex,
                                     Color titleColor, MImage* image)
    : CUIScreen(schemeIndex) {
  if (image != nullptr) {
    backgroundImage = image;
  } else {
    // Tested as 13, 14, 15: the last one set wins.
    int32_t picture = -1;
    if ((flags & kMessageBoxPicture13) != 0) picture = 13;
    if ((flags & kMessageBoxPicture14) != 0) picture = 14;
    if ((flags & kMessageBoxPicture15) != 0) picture = 15;
    if (picture >= 0) backgroundImage = GetSkin()->GetImage(picture);
    ownsImage = true;
  }
  const int32_t width = static_cast<int32_t>(screen->GetWidth());
  int32_t y = kFirstLineY;
  if (title != nullptr) {
    auto* label = new CUILabel(UIRect(0, y, width - 1, 0), title);
    label->rect.height = static_cast<int32_t>(label->CurrentFont()->GetTextHeight(title)) + 5;
    label->fontIndex = kBigFont;
    label->textFlags = kTextCentreX | kTextMultiLineAlt;
    label->textColor = titleColor != 0 ? titleColor : CurrentScheme()->HighlightColor();
    AddChild(label);
    y += label->rect.height + 10;
  }
  auto* body = new CUILabel(UIRect(0, y, width - 1, kMessageBottom - y), message);
  body->fontIndex = kBigFont;
  body->textFlags = kTextCentreX | kTextMultiLineAlt;
  AddChild(body);

  int32_t n = 0;
  for (const ButtonKind& kind : kKinds) {
    if ((flags & kind.bit) == 0) continue;
    if (kind.bit == kMessageBoxContinue && n != 0) continue;
    // Three slots: further buttons asked for are left out.
    if (n == kMaxButtons) break;
    buttons[n] = new CUIButton(UIRect(0, kButtonY, 0, kButtonHeight), kind.text, this);
    buttons[n]->iTag = kind.bit;
    ++n;
  }
  if (n == 0 && (flags & kMessageBoxNoWait) == 0) {
    buttons[n] = new CUIButton(UIRect(0, kButtonY, 0, kButtonHeight), "OK", this);
    buttons[n]->iTag = kMessageBoxOK;
    ++n;
  }
  if (n == 0) return;
  const int32_t margin = n == 1 ? 60 : 0;
  const int32_t b = width / (n + 1) - margin;
  const int32_t step = b > 0 ? b : 0;
  const int32_t gap = step / (n + 1);
  int32_t x = gap + margin;
  for (int32_t i = 0; i < n; ++i) {
    buttons[i]->rect.x = x;
    buttons[i]->rect.width = step;
    AddChild(buttons[i]);
    x += step + gap;
  }
}

CMessageBoxScreen::~CMessageBoxScreen() {
  // The screen destroys its picture: hand back one that is the caller's.
  if (!ownsImage) backgroundImage = nullptr;
}

void CMessageBoxScreen::FiredPressEvent(MUIWidget* source) {
  result = source->iTag;
  EndModal();
}

int32_t ShowMessageBox(const char* title, const char* message, int32_t flags, int32_t schemeIndex, Color titleColor,
                       MImage* image) {
  CMessageBoxScreen box(title, message, flags, schemeIndex, titleColor, image);
  if ((flags & kMessageBoxNoWait) == 0) return box.DoModal();
  // A notice: drawn in its own scheme, left on the display.
  MUISkin* skin = GetSkin();
  const int32_t saved = skin->GetColorScheme();
  skin->SetColorScheme(schemeIndex);
  box.Draw();
  box.screen->Flush(true);
  skin->SetColorScheme(saved);
  return 0;
}
