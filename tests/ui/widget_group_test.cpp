#include "ui/widget_group.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "device/device_seams.h"
#include "tests/support/recording_screen.h"
#include "tests/support/ui_recorder.h"
#include "ui/button.h"
#include "ui/label.h"

namespace {

// A child that logs what reaches it, under its name.
class CLoggedChild : public MUIWidget {
 public:
  CLoggedChild(CEventLog& log, const std::string& name, const UIRect& r)
      : MUIWidget(r, nullptr, nullptr), iLog(log), iName(name) {}
  ~CLoggedChild() override { iLog.push_back(iName + " destroyed"); }
  void Draw() override { iLog.push_back(iName + (focused ? " draw focused" : " draw")); }
  bool OnTouch(InputEvent& e) override {
    iLog.push_back(iName + " touch " + std::to_string(e.x) + "," + std::to_string(e.y) + "," +
                   std::to_string(e.pressure));
    return true;
  }
  bool OnKey(int32_t& key) override {
    iLog.push_back(iName + " key " + std::to_string(key));
    return false;
  }

 private:
  CEventLog& iLog;
  std::string iName;
};

class CProbeFreeChild final : public MUIWidget {
 public:
  CProbeFreeChild() : MUIWidget(UIRect(), nullptr, nullptr) {}
  void Draw() override {}
  bool OnTouch(InputEvent&) override { return false; }
  bool OnKey(int32_t&) override { return false; }
};

class CGroup final : public CUIWidgetGroup {
 public:
  CGroup() : CUIWidgetGroup(UIRect(0, 0, 320, 240)) {}
  void DrawBackground(const UIRect&) override {}
};

class WidgetGroupTest : public ::testing::Test {
 public:
  void SetUp() override {
    display.onFlush = [this] { log.push_back("flush"); };
  }
  CLoggedChild* Add(const std::string& name, const UIRect& r) {
    auto* child = new CLoggedChild(log, name, r);
    EXPECT_TRUE(group.AddChild(child));
    return child;
  }
  void Touch(int32_t x, int32_t y, int32_t pressure) {
    InputEvent e = {x, y, pressure};
    group.OnTouch(e);
  }
  bool Key(int32_t code) { return group.OnKey(code); }

  CRecordingVirtualScreen display;
  CEventLog log;
  CGroup group;
};

TEST_F(WidgetGroupTest, LowerSlotTakesTheTouchHigherSlotPaintsOnTop) {
  Add("A", UIRect(0, 0, 50, 50));
  Add("B", UIRect(25, 25, 50, 50));
  Touch(30, 30, 1);
  group.Draw();
  EXPECT_EQ((CEventLog{"A touch 30,30,1", "A draw", "B draw"}), log);
}

TEST_F(WidgetGroupTest, PenSlidingOffAChildReleasesItThere) {
  CLoggedChild* a = Add("A", UIRect(0, 0, 50, 50));
  Add("B", UIRect(60, 0, 50, 50));
  CLoggedChild* off = Add("Off", UIRect(120, 0, 50, 50));
  off->enabled = false;
  Touch(10, 10, 1);
  Touch(70, 10, 1);   // slid onto B: A is released at the new point
  Touch(130, 10, 1);  // onto a disabled child: nobody takes it, B is released
  Touch(135, 10, 0);  // lifted there: nothing left to tell
  EXPECT_EQ((CEventLog{"A touch 10,10,1", "A touch 70,10,0", "B touch 70,10,1", "B touch 130,10,0"}), log);
  EXPECT_EQ(nullptr, group.Touched());
  EXPECT_EQ(a, group.FindChildAt(49, 49));
  EXPECT_EQ(nullptr, group.FindChildAt(50, 50));
}

TEST_F(WidgetGroupTest, RemovedChildIsForgottenAsTheTouchedOne) {
  CLoggedChild* a = Add("A", UIRect(0, 0, 50, 50));
  Add("B", UIRect(60, 0, 50, 50));
  Touch(10, 10, 1);
  EXPECT_TRUE(group.RemoveChild(a));
  Touch(70, 10, 1);  // no release to the destroyed A (ASan would see it)
  group.RemoveAll();
  Touch(70, 10, 0);
  EXPECT_EQ((CEventLog{"A touch 10,10,1", "A destroyed", "B touch 70,10,1", "B destroyed"}), log);
  EXPECT_EQ(0, group.CountChildren());
}

TEST_F(WidgetGroupTest, SlotsOwnershipAndTheSixtyFifthChild) {
  std::unique_ptr<CLoggedChild> stranger(new CLoggedChild(log, "S", UIRect()));
  EXPECT_FALSE(group.RemoveChild(stranger.get()));
  for (int i = 0; i < CUIWidgetGroup::kSlots; ++i) group.AddChild(new CProbeFreeChild());
  EXPECT_EQ(64, group.CountChildren());
  EXPECT_FALSE(group.AddChild(stranger.get()));
  EXPECT_FALSE(group.HasChild(stranger.get()));
  EXPECT_FALSE(group.RemoveChild(nullptr));  // no free slot to match
  MUIWidget* fifth = group.ChildAt(5);
  EXPECT_TRUE(group.RemoveChild(fifth));
  EXPECT_TRUE(group.AddChild(stranger.get()));  // reuses slot 5
  EXPECT_EQ(stranger.get(), group.ChildAt(5));
  EXPECT_EQ(&group, stranger->parent);
  EXPECT_TRUE(group.HasChild(stranger.release()));
}

TEST_F(WidgetGroupTest, FocusMovesWrapAroundBothWaysAndSkipLabels) {
  Add("A", UIRect(0, 0, 10, 10));
  group.AddChild(new CUILabel(UIRect(0, 20, 10, 10), "label"));
  CLoggedChild* hidden = Add("Hidden", UIRect(0, 40, 0, 10));
  CLoggedChild* c = Add("C", UIRect(0, 60, 10, 10));
  struct Step {
    int32_t key;
    bool result;
    CEventLog log;
  };
  const Step steps[] = {
      {4, true, {"A draw focused", "flush"}},  // nothing focused: the first focusable
      {4, true, {"A draw", "C draw focused", "flush"}},
      {4, true, {"C draw", "A draw focused", "flush"}},  // wrap to the start
      {3, true, {"A draw", "C draw focused", "flush"}},  // and back past slot 0
      {6, false, {"C key 6"}},                           // other keys go to the focused child
  };
  for (const Step& s : steps) {
    log.clear();
    EXPECT_EQ(s.result, Key(s.key)) << s.key;
    EXPECT_EQ(s.log, log) << s.key;
  }
  EXPECT_FALSE(hidden->focused);
  EXPECT_TRUE(c->focused);
}

TEST_F(WidgetGroupTest, KeyThreeWithoutFocusTakesTheLastFocusable) {
  Add("A", UIRect(0, 0, 10, 10));
  CLoggedChild* b = Add("B", UIRect(0, 20, 10, 10));
  EXPECT_TRUE(Key(3));
  EXPECT_TRUE(b->focused);
}

TEST_F(WidgetGroupTest, SingleFocusableChildKeepsTheFocusAndGetsTheKey) {
  CLoggedChild* a = Add("A", UIRect(0, 0, 10, 10));
  a->SetFocus(true);
  EXPECT_FALSE(Key(4));
  EXPECT_EQ((CEventLog{"A key 4"}), log);
  EXPECT_TRUE(a->focused);
}

TEST_F(WidgetGroupTest, KeyWithoutFocusFocusesTheFirstChildThenHandsItTheKey) {
  Add("A", UIRect(0, 0, 10, 10));
  EXPECT_FALSE(Key(6));
  EXPECT_EQ((CEventLog{"A draw focused", "A key 6"}), log);
}

TEST_F(WidgetGroupTest, SchemeAndFontReachEveryChild) {
  CLoggedChild* a = Add("A", UIRect(0, 0, 10, 10));
  CDefaultColorScheme scheme(4);
  group.SetScheme(&scheme);
  EXPECT_EQ(&scheme, a->scheme);
  group.SetFont(nullptr);
  EXPECT_EQ(nullptr, a->font);
}

}  // namespace
