#include "ui/widget.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

#include "ui/painting.h"
#include "ui/skin.h"

namespace {

char* CopyOf(const char* s) {
  if (s == nullptr) return nullptr;
  const size_t n = std::strlen(s);
  char* copy = new (std::nothrow) char[n + 1];
  if (copy != nullptr) std::memcpy(copy, s, n + 1);
  return copy;
}

// The offset that centres `used` pixels in `room`; 0 when they do not fit,
// so a wide line starts at the box's edge instead of left of it.
int32_t CentreOffset(int32_t room, uint32_t used) {
  const int64_t offset = (int64_t{room} - used) / 2;
  return offset > 0 ? static_cast<int32_t>(offset) : 0;
}

// The width of the first n characters of s.
uint32_t PrefixWidth(MFont& font, char* s, size_t n) {
  const char saved = s[n];
  s[n] = '\0';
  const uint32_t width = font.GetTextWidth(s);
  s[n] = saved;
  return width;
}

}  // namespace

MUIWidget::MUIWidget(const UIRect& r, const char* newText, MUIWidgetEvents* events)
    : rect(r), listener(events), screen(GetVirtualScreen()) {
  MUIWidget::SetText(newText);
}

MUIWidget::~MUIWidget() {
  delete[] text;
  delete[] altText;
}

const char* MUIWidget::SetText(const char* newText) {
  delete[] text;
  text = CopyOf(newText);
  return text;
}

void MUIWidget::SetScheme(MColorScheme* newScheme) { scheme = newScheme; }

void MUIWidget::SetFont(MFont* newFont) { font = newFont; }

bool MUIWidget::SetEnabled(bool enable) {
  enabled = enable;
  if (!enable) SetFocus(false);
  return true;
}

void MUIWidget::SetAltText(const char* newText) {
  delete[] altText;
  altText = CopyOf(newText);
}

bool MUIWidget::SetFocus(bool focus) {
  focused = focus;
  if (focus) SetEnabled(true);
  return true;
}

bool MUIWidget::IsVisible() { return rect.width != 0; }

MFont* MUIWidget::CurrentFont() { return font != nullptr ? font : GetSkin()->GetFont(fontIndex); }

MColorScheme* MUIWidget::CurrentScheme() { return scheme != nullptr ? scheme : GetSkin()->GetColors(); }

bool MUIWidget::RenderText(const UIRect& box, Color color, int32_t flags) {
  if (text == nullptr) return true;
  if ((flags & (kTextMultiLine | kTextMultiLineAlt)) == 0) {
    if (flags != 0) return RenderAligned(text, box, color, flags);
    return RenderLine(text, box.x, box.y, color);
  }
  // The text and a closing newline, cut to the layout buffer.
  char buffer[kLayoutBuffer];
  std::snprintf(buffer, sizeof buffer, "%s\n", text);
  const int64_t bottom = int64_t{box.y} + box.height;
  int32_t y = box.y;
  char* piece = buffer;
  while (*piece != '\0') {
    char* end = std::strchr(piece, '\n');
    char* next = end != nullptr ? end + 1 : piece + std::strlen(piece);
    if (end != nullptr) *end = '\0';
    if (*piece != '\0') {  // empty lines vanish
      if (y >= bottom) return false;
      const int64_t below = int64_t{y} + RenderParagraph(piece, box.x, y, box.width, box, color, flags);
      y = static_cast<int32_t>(std::min<int64_t>(below, INT32_MAX));
    }
    piece = next;
  }
  return true;
}

int32_t MUIWidget::RenderParagraph(char* line, int32_t x, int32_t y, int32_t width, const UIRect& box, Color color,
                                   int32_t flags) {
  MFont* f = CurrentFont();
  if (f == nullptr) return 0;
  const int64_t bottom = std::min<int64_t>(int64_t{box.y} + box.height, screen->GetHeight());
  int64_t used = 0;
  char* s = line;
  while (int64_t{y} + used < bottom) {
    while (*s == ' ') ++s;
    size_t length = std::strlen(s);
    while (length > 0 && s[length - 1] == ' ') s[--length] = '\0';
    // Cut at the last blank that leaves a line which fits; a word that fits
    // no line on its own is broken inside, so no character is lost.
    char* rest = nullptr;
    char restored = '\0';
    size_t e = length > 0 ? length - 1 : 0;
    bool cut = false;
    while (length > 0 && static_cast<int64_t>(f->GetTextWidth(s)) > width) {
      if (cut) s[e--] = ' ';
      while (e > 0 && s[e] != ' ') --e;
      if (e == 0) {
        size_t n = 1;
        while (n < length && static_cast<int64_t>(PrefixWidth(*f, s, n + 1)) <= width) ++n;
        restored = s[n];
        s[n] = '\0';
        rest = s + n;
        break;
      }
      s[e] = '\0';
      rest = s + e + 1;
      cut = true;
    }
    const int32_t lineY = static_cast<int32_t>(y + used);
    RenderAligned(s, UIRect(x, lineY, width, kLineBoxHeight), color, flags);
    uint32_t height = f->GetTextHeight(s);
    if (height == 0) height = f->GetTextHeight("A");
    used += int64_t{height} + kLineGap;
    if (rest == nullptr) break;
    if (restored != '\0') *rest = restored;
    if (*rest == '\0') break;
    s = rest;
  }
  return static_cast<int32_t>(std::min<int64_t>(used, INT32_MAX));
}

bool MUIWidget::RenderAligned(const char* line, const UIRect& box, Color color, int32_t flags) {
  int32_t x = box.x, y = box.y;
  MFont* f = CurrentFont();
  if (f == nullptr) return false;
  if ((flags & kTextCentreX) != 0) x += CentreOffset(box.width, f->GetTextWidth(line));
  if ((flags & kTextCentreY) != 0) y += CentreOffset(box.height, f->GetTextHeight(line));
  return RenderLine(line, x, y, color);
}

bool MUIWidget::RenderLine(const char* line, int32_t x, int32_t y, Color color) {
  if (textClip != nullptr) return RenderLineIn(line, x, y, *textClip, color);
  MFont* f = CurrentFont();
  if (f == nullptr || screen == nullptr) return false;
  // Left of or above the screen lies outside every target.
  if (x < 0 || y < 0) return false;
  return f->DrawText(*screen, line, static_cast<uint32_t>(x), static_cast<uint32_t>(y), color);
}

bool MUIWidget::RenderLineIn(const char* line, int32_t x, int32_t y, const UIRect& clip, Color color) {
  MFont* f = CurrentFont();
  if (f == nullptr || screen == nullptr) return false;
  CBoxOf target(*screen, clip.x, clip.y, clip.width, clip.height);
  const int64_t left = int64_t{x} - target.OriginX();
  const int64_t top = std::max<int64_t>(int64_t{y} - target.OriginY(), 0);
  if (left < 0 || target.GetWidth() == 0) return false;
  return f->DrawText(target, line, static_cast<uint32_t>(left), static_cast<uint32_t>(top), color);
}

bool MUIWidget::RenderTextWithin(const UIRect& box, Color color, int32_t flags) {
  // The columns that an erase with rounded corners covers from top to
  // bottom: its last four are cut short.
  const UIRect columns(box.x, 0, std::max(box.width - 3, 0), INT32_MAX);
  const UIRect* saved = textClip;
  textClip = &columns;
  const bool result = RenderText(box, color, flags);
  textClip = saved;
  return result;
}
