#pragma once
// CUIWidgetGroup: a widget holding up to 64 children in fixed slots. It owns
// them, draws them in slot order (higher slots paint over lower ones), gives
// a touch to the first enabled child under the pen and a remote key to the
// focused child, and moves the focus between children with wrap-around.

#include <cstdint>

#include "ui/widget.h"

class CUIWidgetGroup : public MUIWidget {
 public:
  static constexpr int32_t kSlots = 64;

  explicit CUIWidgetGroup(const UIRect& rect);
  ~CUIWidgetGroup() override;

  void Draw() override;
  bool OnTouch(InputEvent& event) override;
  bool OnKey(int32_t& key) override;
  // Given to every child as well.
  void SetScheme(MColorScheme* newScheme) override;
  void SetFont(MFont* newFont) override;

  // Takes ownership in the first free slot; false (ownership stays with the
  // caller) when every slot is used.
  virtual bool AddChild(MUIWidget* child);
  // Destroys the child and frees its slot; false when no slot holds it.
  // Null matches the first free slot.
  virtual bool RemoveChild(MUIWidget* child);
  virtual bool HasChild(MUIWidget* child);
  virtual int32_t CountChildren();
  virtual void RemoveAll();
  // Paints the group's background in the area: how children erase themselves.
  virtual void DrawBackground(const UIRect& area) = 0;

  // The first enabled child in slot order whose rectangle holds the point.
  MUIWidget* FindChildAt(int32_t x, int32_t y);
  // The first focused child (its slot in *slot), else FirstFocusable.
  MUIWidget* GetFocusedChild(int32_t direction, int32_t* slot = nullptr);
  // The first enabled visible child from slot 0 up (direction > 0) or from
  // slot 63 down.
  MUIWidget* FirstFocusable(int32_t direction);
  // Moves the focus by -1 or +1; true when it moved.
  bool MoveFocus(int32_t direction);

  MUIWidget* ChildAt(int32_t slot) { return slot >= 0 && slot < kSlots ? children[slot] : nullptr; }
  MUIWidget* Touched() const { return touched; }

 protected:
  // Forgets the child that took the last touch when it is the one going.
  void ForgetTouched(MUIWidget* child);

  MUIWidget* touched = nullptr;
  MUIWidget* children[kSlots] = {};
};
