#include "ui/screen.h"

#include "ui/event_loop.h"
#include "ui/painting.h"
#include "ui/skin.h"

namespace {
UIRect WholeScreen() {
  MVirtualScreen* vs = GetVirtualScreen();
  return UIRect(0, 0, static_cast<int32_t>(vs->GetWidth()) - 1, static_cast<int32_t>(vs->GetHeight()) - 1);
}
}  // namespace

CUIScreen::CUIScreen(int32_t schemeIndex) : CUIWidgetGroup(WholeScreen()), colorSchemeIndex(schemeIndex) {}

CUIScreen::~CUIScreen() {
  RemoveAll();
  delete backgroundImage;
}

void CUIScreen::Draw() {
  DrawBackground(rect);
  CUIWidgetGroup::Draw();
}

void CUIScreen::DrawBackground(const UIRect& area) {
  MImage* image = backgroundImage != nullptr ? backgroundImage : GetSkin()->GetImage(0);
  bool covered = false;
  if (image != nullptr) {
    // The picture placed at the screen's corner; the area is left to the
    // picture alone when both its corners lie on it.
    const UIRect box(rect.x, rect.y, static_cast<int32_t>(rect.x + image->GetImageWidth()),
                     static_cast<int32_t>(rect.y + image->GetImageHeight()));
    covered = box.Contains(area.x, area.y) &&
              box.Contains(static_cast<int32_t>(int64_t{area.x} + area.width),
                           static_cast<int32_t>(int64_t{area.y} + area.height));
  }
  if (!covered) {
    const Color color = backgroundColor != 0 ? backgroundColor : CurrentScheme()->BackgroundColor();
    FillBox(*screen, area.x, area.y, area.x + area.width, area.y + area.height, color, 4);
  }
  if (image != nullptr) image->DrawImagePart(*screen, rect.x, rect.y, area.x, area.y, area.width, area.height);
}

void CUIScreen::SetBackground(Color color, MImage* image) {
  bool changed = false;
  if (color != backgroundColor) {
    backgroundColor = color;
    changed = true;
  }
  if (image != backgroundImage) {
    delete backgroundImage;
    backgroundImage = image;
    changed = true;
  }
  if (changed) Draw();
}

void CUIScreen::SetColorSchemeIndex(int32_t index) {
  colorSchemeIndex = index;
  GetSkin()->SetColorScheme(index);
  SetBackground(GetSkin()->GetColors()->BackgroundColor(), backgroundImage);
  Draw();
}

int32_t CUIScreen::DoModal() {
  result = 0;
  CUIEventLoop* loop = GetEventLoop();
  MUIWidget* previous = loop->GetScreen();
  MUISkin* skin = GetSkin();
  const int32_t saved = skin->GetColorScheme();
  skin->SetColorScheme(colorSchemeIndex);
  loop->SetScreen(this);
  loop->Run();
  loop->quitRequested = false;
  if (previous != nullptr) {
    loop->SetScreen(previous);
    loop->redrawRequested = true;
  }
  GetSkin()->SetColorScheme(saved);
  return result;
}

void CUIScreen::EndModal() {
  CUIEventLoop* loop = GetEventLoop();
  loop->quitRequested = true;
  loop->redrawRequested = true;
}
