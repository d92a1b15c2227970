// The window's mouse as the touch screen: where a window pixel touches, when
// the pen lifts, and how a drag's moves reach the program.
#include <gtest/gtest.h>

#include "emu/window.h"

namespace {

TEST(WindowPen, WindowPixelsTouchTheScreenPixelTheyShowClampedToThePanel) {
  struct Case {
    int wx, wy;
    int16_t x, y;
  } cases[] = {{0, 0, 0, 0},        {1, 1, 0, 0},         {121, 179, 60, 89},   {639, 479, 319, 239},
               {640, 480, 319, 239}, {-1, -1, 0, 0},       {-7, 300, 0, 150},    {5000, -5000, 319, 0}};
  for (const Case& c : cases) {
    CWindowPen pen(2, 320, 240);
    PenSample s;
    ASSERT_TRUE(pen.Press(c.wx, c.wy, s));
    EXPECT_EQ(kPenPressure, s.pressure);
    EXPECT_EQ(c.x, s.x) << c.wx << "," << c.wy;
    EXPECT_EQ(c.y, s.y) << c.wx << "," << c.wy;
    ASSERT_TRUE(pen.Release(c.wx, c.wy, s));
    EXPECT_EQ(0, s.pressure);
    EXPECT_EQ(c.x, s.x);
    EXPECT_EQ(c.y, s.y);
  }
}

TEST(WindowPen, LiftsWhereItWasAndIgnoresTheLateRelease) {
  CWindowPen pen(3, 320, 240);
  PenSample s;
  ASSERT_TRUE(pen.Press(30, 30, s));
  pen.Move(300, 600);  // dragged to the bottom edge and out
  ASSERT_TRUE(pen.Lift(s));
  EXPECT_EQ(0, s.pressure);
  EXPECT_EQ(100, s.x);
  EXPECT_EQ(200, s.y);
  EXPECT_FALSE(pen.Down());
  EXPECT_FALSE(pen.Lift(s));
  EXPECT_FALSE(pen.Release(900, 900, s));
  EXPECT_FALSE(pen.NextMove(true, s));
  pen.Move(60, 60);  // hovering with the button up touches nothing
  EXPECT_FALSE(pen.NextMove(true, s));
}

TEST(WindowPen, ADragSendsOnlyItsLatestMoveOnceTheProgramHasReadTheRest) {
  CWindowPen pen(2, 320, 240);
  PenSample s;
  ASSERT_TRUE(pen.Press(10, 10, s));
  pen.Move(20, 20);
  pen.Move(40, 40);
  EXPECT_FALSE(pen.NextMove(false, s));
  pen.Move(80, 60);
  ASSERT_TRUE(pen.NextMove(true, s));
  EXPECT_EQ(kPenPressure, s.pressure);
  EXPECT_EQ(40, s.x);
  EXPECT_EQ(30, s.y);
  EXPECT_FALSE(pen.NextMove(true, s));
  pen.Move(100, 100);
  ASSERT_TRUE(pen.Release(100, 100, s));  // the release carries the move
  EXPECT_EQ(50, s.x);
  EXPECT_FALSE(pen.NextMove(true, s));
}

}  // namespace
