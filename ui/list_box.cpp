#include "ui/list_box.h"

#include <algorithm>
#include <cstring>

#include "ui/painting.h"

CUIListBox::CUIListBox(const UIRect& r, const char* newText, MUIWidgetEvents* events) : CUIWidgetGroup(r) {
  SetText(newText);
  listener = events;
}

uint32_t CUIListBox::RowUnit() {
  const int32_t h = GetItemHeight(0);
  return h > 0 ? static_cast<uint32_t>(h) : 1;
}

void CUIListBox::ResetList() {
  // A list too low for a row, or rows without height, has no pages.
  UpdateRowsPerPage();
  selected = -1;
  page = 0;
  firstVisible = 0;
  upPressed = false;
  downPressed = false;
}

void CUIListBox::UpdateRowsPerPage() {
  const int32_t h = GetItemHeight(0);
  rowsPerPage = h > 0 && rect.height > 4 ? static_cast<uint32_t>(rect.height - 4) / static_cast<uint32_t>(h) : 0;
}

UIRect CUIListBox::RowBox(uint32_t row) {
  const int64_t h = RowUnit();
  const int64_t y = int64_t{rect.y} + 2 + row * h;
  return UIRect(rect.x + 2, static_cast<int32_t>(std::min<int64_t>(y, INT32_MAX)), rect.width - 36,
                static_cast<int32_t>(h));
}

bool CUIListBox::DownEnabled() { return uint64_t{firstVisible} + rowsPerPage < GetItemCount(); }

void CUIListBox::ClampSelection() {
  const int64_t count = GetItemCount();
  if (selected >= count) selected = static_cast<int32_t>(count - 1);
  if (selected < -1) selected = -1;
}

UIRect CUIListBox::ScrollButtonRect(bool up) const {
  const int32_t h = rect.height / 2 - 1;
  return UIRect(rect.x + rect.width - kScrollWidth, up ? rect.y : rect.y + rect.height - h, kScrollWidth, h);
}

void CUIListBox::DrawScrollButton(const UIRect& box, bool up, bool pressed, bool enable) {
  MColorScheme* colors = CurrentScheme();
  const Color fill = pressed ? colors->TextColor() : colors->FaceColor();
  const Color arrow = !enable ? colors->DisabledColor() : pressed ? colors->FaceColor() : colors->TextColor();
  FillBox(*screen, box.x, box.y, box.x + box.width, box.y + box.height, fill, 4);
  // A solid chevron 20 wide and 10 high: five nested strokes.
  const int32_t cx = box.x + box.width / 2, cy = box.y + box.height / 2;
  const int32_t d = up ? 1 : -1;
  const int32_t base = cy + 2 * d;
  for (int32_t i = 0; i < 5; ++i) {
    const int32_t tip = cy - 8 * d + i * d;
    DrawLine(*screen, cx - 10 + i, base, cx, tip, arrow);
    DrawLine(*screen, cx, tip, cx + 10 - i, base, arrow);
  }
}

void CUIListBox::DrawScrollButtonState(bool up, bool enable) {
  DrawScrollButton(ScrollButtonRect(up), up, up ? upPressed : downPressed, enable);
  screen->Flush(true);
}

void CUIListBox::ReleaseScrollButtons() {
  if (upPressed) {
    upPressed = false;
    DrawScrollButtonState(true, UpEnabled());
  }
  if (downPressed) {
    downPressed = false;
    DrawScrollButtonState(false, DownEnabled());
  }
}

void CUIListBox::DrawBackground(const UIRect& area) {
  if ((listStyle & kParentBackground) != 0 && parent != nullptr) {
    parent->DrawBackground(area);
    return;
  }
  FillBox(*screen, area.x, area.y, area.x + area.width, area.y + area.height, CurrentScheme()->BackgroundColor(), 4);
}

void CUIListBox::Draw() {
  if (!IsVisible()) return;
  DrawBackground(rect);
  const uint32_t count = GetItemCount();
  if (uint64_t{page} * rowsPerPage >= count || firstVisible >= count) {
    upPressed = false;
    downPressed = false;
    page = 0;
    firstVisible = 0;
  }
  if (selected >= static_cast<int64_t>(count)) selected = -1;
  DrawScrollButton(ScrollButtonRect(true), true, false, UpEnabled());
  DrawScrollButton(ScrollButtonRect(false), false, false, DownEnabled());
  if (count == 0) return;
  // Child widgets stay hidden while the rows are drawn.
  for (MUIWidget* child : children)
    if (child != nullptr) child->rect.width = 0;
  // Exactly the page's rows: every row drawn can be touched, and no row
  // of the next page shows on this one.
  UIRect row = RowBox(0);
  const int64_t bottom = int64_t{rect.y} + rect.height;
  for (uint32_t i = firstVisible; i < count && i - firstVisible < rowsPerPage; ++i) {
    if ((listStyle & kUniformRows) == 0) row.height = GetItemHeight(i);
    if (int64_t{row.y} + row.height > bottom) break;
    DrawItem(i, row);
    // Rows without height still end: the index runs out.
    row.y += row.height > 0 ? row.height : 0;
  }
}

bool CUIListBox::PageDown() {
  const uint64_t count = GetItemCount();
  if ((uint64_t{page} + 1) * rowsPerPage < count) {
    ++page;
    firstVisible = page * rowsPerPage;
  } else if (uint64_t{firstVisible} + rowsPerPage < count) {
    firstVisible += rowsPerPage;
  } else {
    return false;
  }
  Draw();
  return true;
}

bool CUIListBox::PageUp() {
  if (firstVisible != page * rowsPerPage) {
    firstVisible = page * rowsPerPage;
  } else if (page != 0) {
    --page;
    firstVisible = page * rowsPerPage;
  } else {
    return false;
  }
  Draw();
  return true;
}

bool CUIListBox::OnTouch(InputEvent& event) {
  if (event.pressure == 0) ReleaseScrollButtons();
  if (!rect.Contains(event.x, event.y)) return false;
  if (event.x > rect.x + rect.width - kScrollWidth) {
    const bool up = event.y < rect.y + rect.height / 2;
    if (event.pressure == 0) return up ? PageUp() : PageDown();
    // Held from the press to the next release anywhere in the list; the
    // page turns on the release.
    if (up ? upPressed : downPressed) return false;
    ReleaseScrollButtons();
    (up ? upPressed : downPressed) = true;
    DrawScrollButtonState(up, up ? UpEnabled() : DownEnabled());
    return false;
  }
  const bool handled = CUIWidgetGroup::OnTouch(event);
  if (event.pressure != 0) return handled;
  // The row drawn under the pen; the margins above the first row and below
  // the last belong to them.
  const int64_t offset = std::max<int64_t>(int64_t{event.y} - rect.y - 2, 0);
  const int64_t row = std::min<int64_t>(offset / RowUnit(), rowsPerPage > 0 ? rowsPerPage - 1 : 0);
  int64_t pick = int64_t{firstVisible} + row;
  const int64_t count = GetItemCount();
  if (pick >= count) pick = count - 1;
  selected = static_cast<int32_t>(pick);
  if (listener != nullptr)
    listener->FiredPressEvent(this);
  else
    Draw();
  return true;
}

bool CUIListBox::OnKey(int32_t& key) {
  const int32_t old = selected;
  int32_t followUp = 0;
  // A selection the owner put outside the items steps from inside them.
  if (key == 1 || key == 2) ClampSelection();
  switch (key) {
    case 1:
      --selected;
      if (selected < static_cast<int64_t>(firstVisible)) {
        if (PageUp())
          selected = static_cast<int32_t>(firstVisible + rowsPerPage - 1);
        else
          ++selected;
      }
      followUp = 3;
      break;
    case 2:
      ++selected;
      if (selected == (int64_t{page} + 1) * rowsPerPage) {
        if (PageDown())
          selected = static_cast<int32_t>(firstVisible);
        else
          --selected;
      }
      followUp = 4;
      break;
    case 7:
    case 8: {
      if (!(key == 7 ? PageUp() : PageDown())) return false;
      selected = static_cast<int32_t>(firstVisible);
      MUIWidget* child = GetFocusedChild(1);
      if (child != nullptr && child->focused) child->SetFocus(false);
      followUp = key == 7 ? 3 : 4;
      break;
    }
    case 6: {
      const bool handled = CUIWidgetGroup::OnKey(key);
      if (selected < 0) return handled;
      if (listener != nullptr) listener->FiredPressEvent(this);
      return true;
    }
    default:
      return CUIWidgetGroup::OnKey(key);
  }
  // Never a selection past the items, whatever the owner wrote.
  ClampSelection();
  if (selected != old) {
    key = followUp;
    CUIWidgetGroup::OnKey(key);
    Draw();
  }
  return true;
}

bool CUIListBox::SetFocus(bool focus) {
  const bool result = MUIWidget::SetFocus(focus);
  if (focused && selected < 0 && GetItemCount() > 0) selected = 0;
  return result;
}

CUIStringListBox::CUIStringListBox(const UIRect& r, const char* newText, MUIWidgetEvents* events)
    : CUIListBox(r, newText, events) {
  fontIndex = 1;
  ResetList();
}

CUIStringListBox::~CUIStringListBox() { ReleaseItems(); }

void CUIStringListBox::ReleaseItems() {
  for (char*& item : items) {
    delete[] item;
    item = nullptr;
  }
  itemCount = 0;
}

void CUIStringListBox::RemoveAll() {
  ReleaseItems();
  // A refill measures the rows again: the skin's font may have changed.
  MeasureRows();
  UpdateRowsPerPage();
}

void CUIStringListBox::SetFont(MFont* newFont) {
  CUIListBox::SetFont(newFont);
  MeasureRows();
  UpdateRowsPerPage();
}

void CUIStringListBox::MeasureRows() {
  MFont* f = CurrentFont();
  if (f == nullptr) {
    rowHeight = 2;
    baseline = 0;
    return;
  }
  const int32_t ascender = f->GetMetric(MFont::kAscender);
  const int32_t descender = f->GetMetric(MFont::kDescender);
  // Room for the tallest and the deepest glyph of the face, whichever of
  // its line height and its extent is larger; a font without metrics is
  // measured by its "A".
  int64_t line = std::max<int64_t>(f->GetMetric(MFont::kLineHeight), int64_t{ascender} - descender);
  const int32_t letter = static_cast<int32_t>(std::min<uint32_t>(f->GetTextHeight("A"), INT32_MAX / 4));
  if (line <= 0) line = letter;
  line = std::min<int64_t>(line, INT32_MAX / 4);
  rowHeight = static_cast<int32_t>(line) + 2;
  baseline = ascender > 0 ? std::min<int32_t>(ascender, rowHeight) : letter;
}

void CUIStringListBox::AddItem(const char* item) {
  if (itemCount >= kCapacity || item == nullptr) return;
  const size_t n = std::strlen(item);
  char* copy = new char[n + 1];
  std::memcpy(copy, item, n + 1);
  items[itemCount++] = copy;
}

int32_t CUIStringListBox::GetItemHeight(uint32_t) {
  if (rowHeight == 0) MeasureRows();
  return rowHeight;
}

void CUIStringListBox::DrawItem(uint32_t index, const UIRect& box) {
  if (index >= itemCount) return;
  MColorScheme* colors = CurrentScheme();
  const Color color = !enabled                           ? colors->DisabledColor()
                      : static_cast<int64_t>(index) == selected ? colors->HighlightColor()
                                                         : colors->TextColor();
  // Every line on the row's one baseline, cut to its row: a long line never
  // paints over the scroll buttons, a tall one never over its neighbours.
  MFont* f = CurrentFont();
  if (f == nullptr) return;
  const int64_t top = int64_t{box.y} + baseline - f->GetTextHeight(items[index]);
  RenderLineIn(items[index], box.x, static_cast<int32_t>(std::max<int64_t>(top, INT32_MIN)), box, color);
}
