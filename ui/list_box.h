#pragma once
// CUIListBox: a scrolling column of rows with an up and a down scroll button
// at its right edge. It keeps the first visible row, the page and the
// selection, scrolls a page at a time (on the release of a scroll button, or
// with the remote's page keys), selects a row on a tap or with the arrow
// keys, and tells its listener when a row was tapped or activated. What a
// row holds and how it looks is the subclass's: item count, height, drawing.
//
// CUIStringListBox: up to 50 owned strings, one line each, the selected one
// in the scheme's highlight colour.

#include <cstdint>

#include "ui/widget_group.h"

class CUIListBox : public CUIWidgetGroup {
 public:
  // listStyle bits.
  enum : int32_t {
    kParentBackground = 1,  // the parent paints the list's background
    kUniformRows = 2        // every row has the height of item 0
  };
  static constexpr int32_t kScrollWidth = 32;

  CUIListBox(const UIRect& rect, const char* text, MUIWidgetEvents* listener);

  void Draw() override;
  bool OnTouch(InputEvent& event) override;
  bool OnKey(int32_t& key) override;
  // Focusing a list without a selection selects its first item.
  bool SetFocus(bool focus) override;
  void DrawBackground(const UIRect& area) override;

  virtual uint32_t GetItemCount() = 0;
  virtual int32_t GetItemHeight(uint32_t index) = 0;
  virtual void DrawItem(uint32_t index, const UIRect& box) = 0;

  // After a refill: rows per page from item 0's height, nothing selected,
  // the first page, both scroll buttons released. Draws nothing.
  void ResetList();
  // Rows per page from item 0's height again, keeping the position: for a
  // row height that changed with the font.
  void UpdateRowsPerPage();
  // The box of the visible row `row` (0 the top one); rows are as tall as
  // item 0. Only rows below rowsPerPage are drawn and touched.
  UIRect RowBox(uint32_t row);
  // One page up or down; true when the list moved (it is then redrawn).
  bool PageUp();
  bool PageDown();

  UIRect ScrollButtonRect(bool up) const;
  void DrawScrollButton(const UIRect& box, bool up, bool pressed, bool enable);
  // One scroll button as it is now, flushed on its own.
  void DrawScrollButtonState(bool up, bool enable);
  void ReleaseScrollButtons();

  bool UpPressed() const { return upPressed; }
  bool DownPressed() const { return downPressed; }

  uint32_t rowsPerPage = 0;
  uint32_t page = 0;      // written by the owner too
  int32_t selected = -1;  // -1: none; written by the owner too
  int32_t listStyle = kParentBackground | kUniformRows;
  uint32_t firstVisible = 0;

 private:
  bool UpEnabled() const { return firstVisible != 0; }
  bool DownEnabled();
  // The row height that divides: item 0's, or 1 when that is not positive.
  uint32_t RowUnit();
  // Moves the selection into the items (-1 when there are none).
  void ClampSelection();

  bool upPressed = false;
  bool downPressed = false;
};

class CUIStringListBox : public CUIListBox {
 public:
  static constexpr uint32_t kCapacity = 50;

  CUIStringListBox(const UIRect& rect, const char* text, MUIWidgetEvents* listener);
  ~CUIStringListBox() override;

  // Releases the items (not the child widgets).
  void RemoveAll() override;
  uint32_t GetItemCount() override { return itemCount; }
  // Every row has one height, the font's line height plus 2, whatever its
  // text: rows measured by their glyphs would differ from line to line (an
  // empty line would be 2 pixels high) and would not match the pen.
  int32_t GetItemHeight(uint32_t index) override;
  // A new font gives new rows.
  void SetFont(MFont* newFont) override;
  void DrawItem(uint32_t index, const UIRect& box) override;

  // Appends a copy; items past the 50th are dropped.
  void AddItem(const char* item);
  // The item, or null past the items.
  const char* GetItem(uint32_t index) const { return index < itemCount ? items[index] : nullptr; }

 private:
  void ReleaseItems();
  // The row height and the baseline's distance from a row's top, measured
  // from the font at the last refill or change of font.
  void MeasureRows();

  char* items[kCapacity] = {};
  uint32_t itemCount = 0;
  int32_t rowHeight = 0;
  int32_t baseline = 0;
};
