#include "app/name_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Numbered(int n) {
  std::vector<std::string> names;
  for (int i = 0; i < n; ++i) names.push_back("name" + std::to_string(i));
  return names;
}

std::vector<std::string> Kept(const CNameTable& table) {
  std::vector<std::string> out;
  for (uint32_t i = 0; i < table.Kept(); ++i) out.push_back(table.At(i));
  return out;
}

// The first 48 of the names in plain byte order, whatever order they come in.
TEST(NameTable, KeepsTheFirstNamesInByteOrderAndCountsAll) {
  std::mt19937 random(7);
  auto shuffled = [&random](std::vector<std::string> v) {
    std::shuffle(v.begin(), v.end(), random);
    return v;
  };
  auto reversed = [](std::vector<std::string> v) {
    std::sort(v.rbegin(), v.rend());
    return v;
  };
  struct Case {
    const char* what;
    std::vector<std::string> names;
  } cases[] = {
      {"fewer than kept", shuffled(Numbered(5))},
      {"exactly kept", shuffled(Numbered(48))},
      {"one more than kept", shuffled(Numbered(49))},
      {"random order", shuffled(Numbered(300))},
      {"reverse order", reversed(Numbered(300))},
      {"many thousands", shuffled(Numbered(20000))},
      // The shorter first when one is a prefix of the other.
      {"prefixes", shuffled({"abc", "a", "ab", "abcd", "b", "aa"})},
      // Bytes from 0x80 up sort after every ASCII byte.
      {"high bytes", shuffled({"\xE9t\xE9", "zz", "~", "\xFF", "\x80", "A", "<- Back to parent..."})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CNameTable table;
    table.Add("left over");
    table.Clear();
    for (const std::string& n : c.names) table.Add(n.data(), static_cast<uint32_t>(n.size()));
    std::vector<std::string> expected = c.names;
    std::sort(expected.begin(), expected.end(), [](const std::string& a, const std::string& b) {
      return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
      });
    });
    if (expected.size() > CNameTable::kKept) expected.resize(CNameTable::kKept);
    EXPECT_EQ(c.names.size(), table.Count());
    EXPECT_EQ(expected, Kept(table));
  }
}

TEST(NameTable, LongNamesAreCutToTheLongestFileName) {
  CNameTable table;
  const std::string longest(255, 'x');
  table.Add(longest.c_str());
  table.Add(std::string(400, 'y').c_str());
  ASSERT_EQ(2u, table.Kept());
  EXPECT_EQ(longest, table.At(0));
  EXPECT_EQ(std::string(255, 'y'), table.At(1));
}

// The pinned name (the way back) is always kept: in its byte-order place
// among the first 48, else first, before the first 48 names.
TEST(NameTable, ThePinnedNameIsAlwaysKept) {
  const std::string back = "<- Back to parent...";
  auto digits = [](int n) {  // "00" ... : all sort before "<"
    std::vector<std::string> v;
    for (int i = 0; i < n; ++i) v.push_back((i < 10 ? "0" : "") + std::to_string(i));
    return v;
  };
  auto with = [](std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  };
  std::vector<std::string> first48 = digits(48);
  struct Case {
    const char* what;
    std::vector<std::string> names;
    std::vector<std::string> kept;
  } cases[] = {
      {"alone", {}, {back}},
      {"among letters", {"b", "a"}, {back, "a", "b"}},
      {"after 47 digits", with(digits(47), {"x", "y"}), with(with(digits(47), {back}), {})},
      {"after 48 digits", digits(48), with({back}, first48)},
      {"after 60 digits", digits(60), with({back}, first48)},
      {"after 60 digits and letters", with({"z", "a"}, digits(60)), with({back}, first48)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CNameTable table;
    for (const std::string& n : c.names) table.Add(n.c_str());
    table.AddPinned(back.c_str());
    EXPECT_EQ(c.names.size() + 1, table.Count());
    EXPECT_EQ(c.kept, Kept(table));
  }
  // The pinned name may be offered first as well, and Clear forgets it.
  CNameTable table;
  table.AddPinned(back.c_str());
  for (const std::string& n : digits(60)) table.Add(n.c_str());
  EXPECT_EQ(with({back}, first48), Kept(table));
  table.Clear();
  table.Add("a");
  EXPECT_EQ(std::vector<std::string>{"a"}, Kept(table));
}

TEST(NameTableDeathTest, AnIndexPastTheKeptNamesStopsTheProcess) {
  CNameTable table;
  table.Add("only");
  EXPECT_DEATH(table.At(1), "vector \\[\\] access out of range");
}

}  // namespace
