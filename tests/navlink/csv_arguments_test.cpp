#include "navlink/csv_arguments.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Fields(const CCsvArguments& list) {
  std::vector<std::string> out;
  for (int32_t i = 0; i < list.Count(); ++i) out.emplace_back(list.Get(i));
  return out;
}

TEST(CsvArguments, AddBuildsSeparatedLine) {
  struct Case {
    std::vector<std::string> args;
    std::string line;
  };
  const Case cases[] = {
      {{}, ""},
      {{"a", "b"}, "a|b|"},
      {{""}, "|"},
      {{"", "x", ""}, "|x||"},
      {{"hello world"}, "hello world|"},
  };
  for (const Case& c : cases) {
    CCsvArguments list('|');
    for (const std::string& a : c.args) list.Add(a.c_str());
    EXPECT_EQ(c.line, list.Line());
    EXPECT_FALSE(list.HasHeapLine());
  }
}

TEST(CsvArguments, ParseSplitsInPlace) {
  struct Case {
    const char* line;
    std::vector<std::string> fields;
  };
  const Case cases[] = {
      {"a|b|", {"a", "b"}},
      {"a|b", {"a"}},  // no trailing separator: the last piece is dropped
      {"", {}},
      {"abc", {}},
      {"|", {""}},
      {"||x|", {"", "", "x"}},
      {"a\n|b|", {"a\n", "b"}},
  };
  for (const Case& c : cases) {
    CCsvArguments list('|');
    std::strcpy(list.Line(), c.line);
    list.Parse();
    EXPECT_EQ(c.fields, Fields(list)) << c.line;
    if (list.Count() > 0) {
      // Fields point into the line itself.
      EXPECT_GE(list.Get(0), list.Line());
      EXPECT_LT(list.Get(list.Count() - 1), list.Line() + list.LineCapacity());
    }
  }
}

TEST(CsvArguments, OtherSeparator) {
  CCsvArguments list(';');
  list.Add("a|b");
  list.Add("c");
  list.Parse();
  EXPECT_EQ((std::vector<std::string>{"a|b", "c"}), Fields(list));
}

TEST(CsvArguments, GetOutsideRangeIsNull) {
  CCsvArguments list('|');
  EXPECT_EQ(nullptr, list.Get(0));
  list.Add("a");
  list.Add("b");
  list.Parse();
  ASSERT_EQ(2, list.Count());
  EXPECT_STREQ("b", list.Get(1));
  EXPECT_EQ(nullptr, list.Get(-1));
  EXPECT_EQ(nullptr, list.Get(2));
  EXPECT_EQ(nullptr, list.Get(INT32_MIN));
}

TEST(CsvArguments, FieldTableMovesToHeapAfter31Pieces) {
  struct Case {
    int separators;
    bool heap;
  };
  for (const Case c : {Case{30, false}, Case{31, true}, Case{500, true}}) {
    CCsvArguments list('|');
    std::string line;
    for (int i = 0; i < c.separators; ++i) line += std::to_string(i) + "|";
    ASSERT_EQ(1, list.Reserve(static_cast<int32_t>(line.size()) + 1));
    std::strcpy(list.Line(), line.c_str());
    list.Parse();
    EXPECT_EQ(c.heap, list.HasHeapFieldTable()) << c.separators;
    ASSERT_EQ(c.separators, list.Count());
    for (int i = 0; i < c.separators; ++i) EXPECT_EQ(std::to_string(i), list.Get(i));
    EXPECT_EQ(nullptr, list.Get(c.separators));
  }
  // Exactly 31 separators alone: 31 empty fields from the heap table.
  CCsvArguments list('|');
  std::strcpy(list.Line(), std::string(31, '|').c_str());
  list.Parse();
  EXPECT_TRUE(list.HasHeapFieldTable());
  ASSERT_EQ(31, list.Count());
  EXPECT_STREQ("", list.Get(30));
}

TEST(CsvArguments, LineMovesToHeapWhenNulWouldNotFit) {
  // (inline length, argument length, heap expected, capacity)
  struct Case {
    size_t first, second;
    bool heap;
    int32_t capacity;
  };
  const Case cases[] = {
      {1022, 0, false, 1024},      // 1022 + '|' + NUL fill 1024 exactly
      {1021, 1, true, 2048},       // 1021|x| would leave no room for NUL
      {1023, 0, true, 2048},
      {1500, 1000, true, 3072},    // one step of 1,024 per Add
      {10, 5000, true, 5120},      // an argument beyond one step grows enough
      {3000, 4000, true, 7168},
  };
  for (const Case& c : cases) {
    CCsvArguments list('|');
    const std::string a(c.first, 'a'), b(c.second, 'b');
    list.Add(a.c_str());
    if (c.second) list.Add(b.c_str());
    EXPECT_EQ(c.heap, list.HasHeapLine()) << c.first << "+" << c.second;
    EXPECT_EQ(c.capacity, list.LineCapacity()) << c.first << "+" << c.second;
    const std::string expected = a + "|" + (c.second ? b + "|" : "");
    EXPECT_EQ(expected, list.Line());
    list.Parse();
    ASSERT_EQ(c.second ? 2 : 1, list.Count());
    EXPECT_EQ(a, list.Get(0));
  }
}

TEST(CsvArguments, ManyAddsKeepEveryField) {
  CCsvArguments list('|');
  for (int i = 0; i < 2000; ++i) list.Add(std::to_string(i).c_str());
  list.Parse();
  ASSERT_EQ(2000, list.Count());
  EXPECT_STREQ("0", list.Get(0));
  EXPECT_STREQ("1999", list.Get(1999));
}

TEST(CsvArguments, AddAfterParseDropsStaleFields) {
  CCsvArguments list('|');
  list.Add("a");
  list.Parse();
  ASSERT_EQ(1, list.Count());
  list.Add(std::string(3000, 'x').c_str());  // reallocates the line
  EXPECT_EQ(0, list.Count());
  EXPECT_EQ(nullptr, list.Get(0));
}

TEST(CsvArguments, ReserveAndClear) {
  CCsvArguments list('|');
  list.Add("a");
  ASSERT_EQ(1, list.Reserve(10));
  EXPECT_TRUE(list.HasHeapLine());
  EXPECT_EQ(10, list.LineCapacity());
  EXPECT_STREQ("", list.Line());
  // A reader that fills the whole line without a NUL: cut at the last byte.
  std::memcpy(list.Line(), "a|b|c|d|ef", 10);
  list.Parse();
  EXPECT_EQ((std::vector<std::string>{"a", "b", "c", "d"}), Fields(list));
  // Adding to a full reserved line grows it.
  ASSERT_EQ(1, list.Reserve(4));
  std::memcpy(list.Line(), "xyz|", 4);
  list.Add("q");
  EXPECT_STREQ("xyzq|", list.Line());

  EXPECT_EQ(0, list.Reserve(0));
  EXPECT_EQ(0, list.Reserve(-5));
  EXPECT_FALSE(list.HasHeapLine());
  EXPECT_STREQ("", list.Line());

  list.Add(std::string(40, '|').c_str());
  list.Parse();
  list.Clear();
  EXPECT_EQ(0, list.Count());
  EXPECT_FALSE(list.HasHeapLine());
  EXPECT_FALSE(list.HasHeapFieldTable());
  EXPECT_STREQ("", list.Line());
}

TEST(CsvArguments, NulInsideLineEndsIt) {
  CCsvArguments list('|');
  std::memcpy(list.Line(), "a|b\0c|d|", 9);
  list.Parse();
  EXPECT_EQ((std::vector<std::string>{"a"}), Fields(list));
}

TEST(CsvArguments, DeletingThroughEitherBaseFreesAll) {
  CCsvArguments* list = new CCsvArguments('|');
  list->Add(std::string(5000, 'z').c_str());
  list->Add(std::string(64, '|').c_str());
  list->Parse();
  CSdkBase* base = list;
  delete base;  // ASan reports a leak or a bad free otherwise
  MArguments* args = new CCsvArguments('|');
  args->Add(std::string(5000, 'z').c_str());
  delete args;
}

}  // namespace
