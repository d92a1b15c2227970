// The compact line table: lines kept byte-exactly through appends and
// replacements, the buffer compacted once dead bytes dominate, and the
// bounds stop.
#include "app/line_table.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Line(const CLineTable& t, uint32_t i) { return std::string(t.Text(i), t.Length(i)); }

TEST(LineTable, AppendAndReplaceKeepEveryByte) {
  CLineTable t;
  t.Append("alpha");
  t.Append(std::string("n\0ul\r", 5).data(), 5);
  t.Append("");
  ASSERT_EQ(3u, t.Size());
  EXPECT_EQ(std::string("n\0ul\r", 5), Line(t, 1));
  EXPECT_STREQ("n", t.Text(1)) << "as a C string the line ends at its NUL";
  EXPECT_EQ("", Line(t, 2));

  const uint64_t bytes = t.BufferBytes();
  t.Replace(0, "ab", 2);  // shorter: in place
  EXPECT_EQ("ab", Line(t, 0));
  EXPECT_STREQ("ab", t.Text(0));
  EXPECT_EQ(bytes, t.BufferBytes());

  t.Replace(2, "a longer line", 13);  // longer: appended
  EXPECT_EQ("a longer line", Line(t, 2));
  EXPECT_EQ("ab", Line(t, 0));
  EXPECT_EQ(std::string("n\0ul\r", 5), Line(t, 1));
}

// An edit left unchanged hands the line its own bytes, which may move while
// they are copied.
TEST(LineTable, ReplacingALineWithItsOwnTextChangesNothing) {
  CLineTable t;
  t.Append("first");
  t.Append(std::string("x\0y", 3).data(), 3);
  for (uint32_t i = 0; i < t.Size(); ++i) t.Replace(i, t.Text(i), t.Length(i));
  EXPECT_EQ("first", Line(t, 0));
  EXPECT_EQ(std::string("x\0y", 3), Line(t, 1));
  // Longer than itself: the text comes from the buffer that grows.
  std::string longer = Line(t, 0) + Line(t, 0);
  t.Replace(1, t.Text(0), t.Length(0));
  t.Replace(0, longer.data(), static_cast<uint32_t>(longer.size()));
  t.Replace(1, t.Text(0), t.Length(0));
  EXPECT_EQ("firstfirst", Line(t, 1));
}

TEST(LineTable, RepeatedLongerReplacementsStayCompact) {
  CLineTable t;
  for (int i = 0; i < 10; ++i) t.Append("0123456789");
  std::string text;
  for (int round = 0; round < 200; ++round) {
    text = "line " + std::to_string(round) + " grows a little each time";
    t.Replace(3, text.data(), static_cast<uint32_t>(text.size()));
    // Dead bytes never take more than half the buffer.
    EXPECT_LE(t.BufferBytes(), 2 * (9 * 11 + text.size() + 1));
  }
  EXPECT_EQ(text, Line(t, 3));
  for (uint32_t i = 0; i < t.Size(); ++i) {
    if (i == 3) continue;
    EXPECT_EQ("0123456789", Line(t, i)) << i;
  }
}

// An edit of a file's line never grows or moves the file's own buffer: a
// longer text goes beside it, so a 30 MB file is not copied for one edit.
TEST(LineTable, LongerReplacementLeavesTheFileBufferInPlace) {
  const std::string text = "ab\ncd\nef";
  CLineTable::Bytes bytes(text.begin(), text.end());
  bytes.push_back('?');
  CLineTable t;
  t.Adopt(std::move(bytes), 3);
  for (uint32_t offset : {0u, 3u, 6u}) t.AppendInPlace(offset, 2);
  const char* first = t.Text(0);
  const uint64_t size = t.BufferBytes();
  t.Replace(1, "a longer line", 13);
  EXPECT_EQ(first, t.Text(0));
  EXPECT_EQ(size + 14, t.BufferBytes());
  t.Replace(1, "cd", 2);  // shorter again: in place, beside the file
  EXPECT_EQ("cd", Line(t, 1));
  EXPECT_EQ("ef", Line(t, 2));
}

TEST(LineTable, AdoptedBufferIsSplitInPlace) {
  const std::string text = "ab\ncd";
  CLineTable::Bytes bytes(text.begin(), text.end());
  bytes.push_back('?');  // the spare byte that ends the last line
  CLineTable t;
  t.Append("old");
  t.Adopt(std::move(bytes), 2);
  EXPECT_EQ(0u, t.Size());
  t.AppendInPlace(0, 2);
  t.AppendInPlace(3, 2);
  EXPECT_STREQ("ab", t.Text(0));
  EXPECT_STREQ("cd", t.Text(1));
  EXPECT_EQ(6u, t.BufferBytes());
}

TEST(LineTableDeathTest, IndexPastTheLinesStops) {
  CLineTable t;
  t.Append("only");
  EXPECT_DEATH(t.Text(1), "vector \\[\\] access out of range");
  EXPECT_DEATH(t.Length(7), "vector \\[\\] access out of range");
  EXPECT_DEATH(t.Replace(1, "x", 1), "vector \\[\\] access out of range");
  t.Clear();
  EXPECT_DEATH(t.Text(0), "vector \\[\\] access out of range");
  // A line in place must leave room for its NUL inside the buffer.
  EXPECT_DEATH(t.AppendInPlace(0, 0), "vector \\[\\] access out of range");
}

}  // namespace
