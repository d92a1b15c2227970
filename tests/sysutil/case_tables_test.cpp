#include "sysutil/case_tables.h"

#include <gtest/gtest.h>

namespace {

TEST(CaseTables, UpperLowerAndFolding) {
  EXPECT_EQ(kUpperCaseTable['a'], 'A');
  EXPECT_EQ(kUpperCaseTable[0xe0], 0xc0);
  EXPECT_EQ(kUpperCaseTable[0xf7], 0xd7);
  EXPECT_EQ(kUpperCaseTable[0xbe], 0xbd);
  EXPECT_EQ(kUpperCaseTable[0xff], 0xff);
  EXPECT_EQ(kLowerCaseTable['Z'], 'z');
  EXPECT_EQ(kLowerCaseTable[0xde], 0xfe);
  EXPECT_EQ(kLowerCaseTable[0xbd], 0xbe);
  EXPECT_EQ(kLowerCaseTable[0xdf], 0xdf);
  EXPECT_EQ(kLowerCaseTable[0xd7], 0xf7);
  const struct {
    int from, to;
  } folds[] = {{'-', ' '}, {130, ','}, {138, 'S'}, {154, 'S'}, {156, 140}, {159, 'Y'},
               {255, 'Y'}, {189, 'L'}, {190, 'L'}, {198, 'A'}, {230, 'A'}, {231, 'C'},
               {235, 'E'}, {207, 'I'}, {241, 'N'}, {216, 'O'}, {248, 'O'}, {247, 247},
               {215, 215}, {252, 'U'}, {223, 'S'}, {240, 208}, {254, 222}, {'z', 'Z'}};
  for (const auto& f : folds) EXPECT_EQ(kFoldingTable[f.from], f.to) << f.from;
}

}  // namespace
