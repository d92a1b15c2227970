#include "gfx/color_scheme.h"

#include <gtest/gtest.h>

namespace {

TEST(ColorScheme, TableRows) {
  const struct {
    int32_t scheme;
    Color background, face, text;
  } rows[] = {
      {0, 0x0339, 0x0013, 0xFFFF},  {1, 0x000C, 0x0193, 0xFFFF},  {2, 0x3339, 0x0193, 0xFFFF},
      {3, 0x000C, 0x3333, 0xFFFF},  {4, 0x9CD9, 0x6339, 0xFFFF},  {5, 0xE73C, 0x64B9, 0x0000},
      {6, 0xF79E, 0x9E5D, 0x0000},  {7, 0x64D9, 0x3333, 0xFFFF},  {8, 0x9CD3, 0x632C, 0xFFFF},
      {9, 0x9986, 0x6000, 0xFFFF},  {10, 0x3320, 0x64C6, 0xFFFF}, {11, 0xCCC6, 0x9B20, 0xFFFF},
      {12, 0x3339, 0x0193, 0xFFFF}, {13, 0xF81F, 0x8811, 0xFFFF},
      {20, 0xF81F, 0x8811, 0xFFFF}, {-1, 0xF81F, 0x8811, 0xFFFF},  // unknown numbers answer scheme 13
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.scheme);
    CDefaultColorScheme scheme(row.scheme);
    EXPECT_EQ(scheme.BackgroundColor(), row.background);
    EXPECT_EQ(scheme.FaceColor(), row.face);
    EXPECT_EQ(scheme.TextColor(), row.text);
    EXPECT_EQ(scheme.DisabledColor(), 0xC638);
    EXPECT_EQ(scheme.HighlightColor(), 0xF800);
  }
  EXPECT_EQ(colorYellow, 0xFFE0);
}

TEST(ColorScheme, DarkColorIsProcessWide) {
  EXPECT_EQ(GetColorSchemeManager()->GetSchemeObject(3)->DarkColor(), 0x0000);
  SetDarkColor(0x1234);
  EXPECT_EQ(GetColorSchemeManager()->GetSchemeObject(3)->DarkColor(), 0x1234);
  EXPECT_EQ(CDefaultColorScheme(9).DarkColor(), 0x1234);
  SetDarkColor(colorBlack);
}

TEST(ColorScheme, OneObjectPerNumber) {
  CDefaultColorSchemeManager* manager = GetColorSchemeManager();
  MColorScheme* five = manager->GetSchemeObject(5);
  ASSERT_NE(five, nullptr);
  EXPECT_EQ(manager->GetSchemeObject(5), five);
  EXPECT_NE(manager->GetSchemeObject(6), five);
  EXPECT_EQ(five->TextColor(), colorBlack);
  // No slot exists past 13: such numbers share scheme 13's object.
  EXPECT_EQ(manager->GetSchemeObject(14), manager->GetSchemeObject(13));
  EXPECT_EQ(manager->GetSchemeObject(-7), manager->GetSchemeObject(13));
}

}  // namespace
