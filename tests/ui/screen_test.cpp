#include "ui/screen.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/recording_screen.h"
#include "tests/support/ui_recorder.h"
#include "ui/skin.h"

namespace {

// A picture of a given size that paints its part in one colour and logs it.
class CProbeImage final : public MImage {
 public:
  CProbeImage(CEventLog& log, uint32_t w, uint32_t h, Color c) : iLog(log), iW(w), iH(h), iColor(c) {}
  ~CProbeImage() override { iLog.push_back("image destroyed"); }
  uint32_t GetImageWidth() override { return iW; }
  uint32_t GetImageHeight() override { return iH; }
  uint32_t GetDepth() override { return 16; }
  bool DrawImage(MFrameBuffer&, int32_t, int32_t) override { return false; }
  bool DrawImagePart(MFrameBuffer& fb, int32_t x, int32_t y, int32_t ax, int32_t ay, int32_t aw, int32_t ah) override {
    iLog.push_back("part " + std::to_string(ax) + "," + std::to_string(ay) + " " + std::to_string(aw) + "x" +
                   std::to_string(ah));
    for (int32_t px = std::max(x, ax); px < x + static_cast<int32_t>(iW) && px <= ax + aw; ++px)
      for (int32_t py = std::max(y, ay); py < y + static_cast<int32_t>(iH) && py <= ay + ah; ++py)
        PaintPixel(fb, px, py, iColor);
    return true;
  }

 private:
  CEventLog& iLog;
  uint32_t iW, iH;
  Color iColor;
};

class ScreenTest : public ::testing::Test {
 public:
  CRecordingVirtualScreen display;
  CEventLog log;
  CTestScreen screen{log, "S"};
};

TEST_F(ScreenTest, CoversTheWholeDisplay) {
  EXPECT_EQ(0, screen.rect.x);
  EXPECT_EQ(319, screen.rect.width);
  EXPECT_EQ(239, screen.rect.height);
}

TEST_F(ScreenTest, ColourFillUnlessThePictureCoversTheArea) {
  screen.paints = true;
  display.Pixels().Fill(0x1234);
  screen.Draw();  // scheme 2 background, rounded at the corners
  EXPECT_EQ(0x3339, display.PixelAt(160, 120));
  EXPECT_EQ(0x1234, display.PixelAt(0, 0));

  screen.SetBackground(0, new CProbeImage(log, 320, 240, 0x07E0));
  display.Pixels().Fill(0x1234);
  log.clear();
  screen.DrawBackground(UIRect(10, 10, 50, 20));
  EXPECT_EQ((CEventLog{"part 10,10 50x20"}), log);
  EXPECT_EQ(0x07E0, display.PixelAt(10, 10));

  // A picture smaller than the area: colour first, the picture over it.
  screen.SetBackground(colorYellow, new CProbeImage(log, 100, 100, 0x07E0));
  display.Pixels().Fill(0x1234);
  screen.DrawBackground(UIRect(50, 50, 100, 60));
  EXPECT_EQ(0x07E0, display.PixelAt(60, 60));
  EXPECT_EQ(colorYellow, display.PixelAt(120, 100));
}

TEST_F(ScreenTest, SetBackgroundRedrawsOnlyOnAChange) {
  auto* image = new CProbeImage(log, 10, 10, 1);
  screen.SetBackground(0, nullptr);  // as it is: nothing
  EXPECT_TRUE(log.empty());
  screen.SetBackground(colorRed, nullptr);
  screen.SetBackground(colorRed, image);
  screen.SetBackground(colorRed, image);
  EXPECT_EQ((CEventLog{"S draw", "S draw"}), log);
  log.clear();
  screen.SetBackground(colorRed, nullptr);  // the old picture is destroyed
  EXPECT_EQ((CEventLog{"image destroyed", "S draw"}), log);
  EXPECT_EQ(colorRed, screen.BackgroundColor());
}

TEST_F(ScreenTest, SetColorSchemeIndexSwitchesSkinAndBackground) {
  screen.SetColorSchemeIndex(10);
  EXPECT_EQ(10, screen.ColorSchemeIndex());
  EXPECT_EQ(10, GetSkin()->GetColorScheme());
  EXPECT_EQ(0x3320, screen.BackgroundColor());
  EXPECT_EQ((CEventLog{"S draw", "S draw"}), log);
}

}  // namespace
