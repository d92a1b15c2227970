#include "sysutil/bounded_string.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

std::string Str(const CBoundedString& s) { return std::string(s.Data(), s.Length()); }

// A string over heap storage of exactly `capacity` bytes, so ASan reports any
// write past the capacity (an inline buffer would hide it inside its object).
struct ExactString {
  explicit ExactString(int32_t capacity)
      : chars(new char[capacity]), s(chars.get(), 0, capacity) {}
  std::unique_ptr<char[]> chars;
  CBoundedString s;
};

TEST(BoundedString, LayoutOfAPathBuffer) {
  CPathBuffer p;
  EXPECT_EQ(p.Capacity(), 256);
  EXPECT_FALSE(p.IsExternal());
  EXPECT_STREQ(p.CStr(), "");
  EXPECT_EQ(p.Data(), reinterpret_cast<char*>(&p) + 8);
}

TEST(BoundedString, ViewsShareCharacters) {
  const char* literal = "hello";
  CBoundedString v(literal);
  EXPECT_TRUE(v.IsExternal());
  EXPECT_EQ(v.Length(), 5);
  EXPECT_EQ(v.Capacity(), 6);
  EXPECT_EQ(v.Data(), literal);
  EXPECT_STREQ(v.CStr(), "hello");  // a literal is already terminated: no write

  CPathBuffer p("abc");
  CBoundedString copy(p);  // a copy is a view, not new characters
  EXPECT_TRUE(copy.IsExternal());
  EXPECT_EQ(copy.Data(), p.Data());
}

TEST(BoundedString, WritesClipToCapacity) {
  ExactString e(6);
  CBoundedString& s = e.s;
  s.Set("abcdefghij");
  EXPECT_EQ(Str(s), "abcde");  // Set terminates: capacity - 1 characters
  s.Set("abcdefghij", 8);
  EXPECT_EQ(Str(s), "abcde");
  s.Set("ab");
  s.Append(CBoundedString("cdefgh"));
  EXPECT_EQ(Str(s), "abcde");
  s.Append("x");
  EXPECT_EQ(Str(s), "abcde");
  s.AppendChar('z');  // AppendChar does not terminate: it may use the last byte
  EXPECT_EQ(s.Length(), 6);
  s.AppendChar('y', 3);
  EXPECT_EQ(s.Length(), 6);
  EXPECT_STREQ(s.CStr(), "abcde");  // a full string hides its last character
  EXPECT_EQ(s.Length(), 6);
  EXPECT_STREQ(s.CStrOrEmpty(), "abcde");
  EXPECT_EQ(s.Length(), 5);  // ...and CStrOrEmpty shortens it
  s.SetLength(-3);
  EXPECT_STREQ(s.CStrOrEmpty(), "");
  s.SetLength(99);
  EXPECT_EQ(s.Length(), 6);

  CPathBuffer path;
  path.AppendChar('p', 255);
  path.Append("more");
  EXPECT_EQ(path.Length(), 255);
  EXPECT_EQ(path.CharAt(254), 'p');

  char none[1];
  CBoundedString zero(none, 0, 0);  // no room even for the NUL
  zero.Set("abc");
  EXPECT_EQ(zero.Length(), 0);
  EXPECT_STREQ(zero.CStr(), "");
}

TEST(BoundedString, CopyOutAndZeroFill) {
  CPathBuffer s("abcdef");
  char out[4];
  s.CopyOut(out, sizeof(out));
  EXPECT_STREQ(out, "abc");
  s.CopyOut(out, 1);
  EXPECT_STREQ(out, "");
  s.ZeroFill();
  EXPECT_EQ(s.Length(), 6);
  EXPECT_EQ(std::memcmp(s.Data(), "\0\0\0\0\0\0", 6), 0);
}

struct EditCase {
  const char* start;
  int32_t capacity;
  char op;  // i: Insert, c: InsertChar, d: Delete, p: Prepend
  int32_t pos;
  int32_t n;
  const char* text;
  const char* expected;
};

void PrintTo(const EditCase& c, std::ostream* os) {
  *os << c.op << " " << c.start << " -> " << c.expected;
}

class Edit : public ::testing::TestWithParam<EditCase> {};

TEST_P(Edit, Works) {
  const EditCase& c = GetParam();
  ExactString e(c.capacity);
  e.s.Set(c.start);
  CBoundedString text(c.text);
  switch (c.op) {
    case 'i': e.s.Insert(c.pos, text); break;
    case 'c': e.s.InsertChar(c.pos, c.text[0]); break;
    case 'd': e.s.Delete(c.pos, c.n); break;
    case 'p': e.s.Prepend(text); break;
  }
  EXPECT_EQ(Str(e.s), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    BoundedString, Edit,
    ::testing::Values(EditCase{"abef", 10, 'i', 2, 0, "cd", "abcdef"},
                      EditCase{"abef", 6, 'i', 2, 0, "cdXY", "abcdef"},  // clipped to the room
                      EditCase{"abcde", 6, 'i', 1, 0, "XY", "aXbcde"},
                      EditCase{"abc", 4, 'i', 0, 0, "X", "Xabc"},
                      EditCase{"abc", 10, 'i', 99, 0, "X", "abcX"},     // pos past the end
                      EditCase{"abc", 10, 'i', -5, 0, "X", "Xabc"},
                      EditCase{"abc", 4, 'c', 1, 0, "X", "aXbc"},
                      EditCase{"abcd", 5, 'c', 1, 0, "X", "aXbcd"},
                      EditCase{"abc", 10, 'p', 0, 0, "12", "12abc"},
                      EditCase{"abcdef", 10, 'd', 1, 2, "", "adef"},
                      EditCase{"abcdef", 10, 'd', 4, 99, "", "abcd"},
                      EditCase{"abcdef", 10, 'd', 6, 1, "", "abcdef"},
                      EditCase{"abcdef", 10, 'd', -1, 1, "", "abcdef"},
                      EditCase{"abcdef", 10, 'd', 2, 0, "", "abcdef"}));

TEST(BoundedString, InsertFromItsOwnCharacters) {
  struct Case {
    int32_t pos, from, n;
    const char* expected;
  } cases[] = {
      {0, 0, 3, "abcabcdef"},
      {6, 0, 6, "abcdefabcdef"},
      {2, 3, 2, "abdecdef"},  // source lies in the moved tail
      {4, 2, 4, "abcdcdefef"},  // source straddles the insert position
  };
  for (const Case& c : cases) {
    CPathBuffer s("abcdef");
    s.Insert(c.pos, s.Mid(c.from, c.n));
    EXPECT_EQ(Str(s), c.expected) << c.pos << " " << c.from << " " << c.n;
  }
}

TEST(BoundedString, Trim) {
  CPathBuffer s(" \t a b \t\n");
  s.TrimRight();
  EXPECT_EQ(Str(s), " \t a b \t\n");  // a newline is no blank
  s.Set(" \t a b \t ");
  s.Trim();
  EXPECT_EQ(Str(s), "a b");
  s.Set("   ");
  s.TrimLeft();
  EXPECT_EQ(s.Length(), 0);
}

TEST(BoundedString, Find) {
  CPathBuffer s("a/b.c/d.e");
  EXPECT_EQ(s.Find('/'), 1);
  EXPECT_EQ(s.FindLast('/'), 5);
  EXPECT_EQ(s.Find('z'), -1);
  EXPECT_EQ(s.FindLast('z'), -1);
  EXPECT_EQ(s.Find("d.e", 3), 6);
  EXPECT_EQ(s.Find("d.ex", 4), -1);
  EXPECT_EQ(s.Find("a", 0), -1);
  EXPECT_EQ(s.Find("a/b.c/d.e!", 10), -1);  // longer than the string
  EXPECT_EQ(s.Find("a/b.c/d.e", 9), 0);
  s.SetLength(8);  // the length is authoritative, not the NUL
  EXPECT_EQ(s.Find("d.e", 3), -1);
}

struct CompareCase {
  const char* a;
  const char* b;
  int exact, noCase, folded;
};

TEST(BoundedString, Comparisons) {
  const CompareCase cases[] = {
      {"abc", "abc", 0, 0, 0},
      {"abc", "abd", -1, -1, -1},
      {"ab", "abc", -1, -1, -1},
      {"abc", "ab", 1, 1, 1},
      {"", "", 0, 0, 0},
      {"abc", "ABC", 'a' - 'A', 0, 0},
      {"Zeta", "alpha", 'Z' - 'a', 'Z' - 'A', 'Z' - 'A'},
      {"\xe9t\xe9", "ETE", 0xe9 - 'E', 0xc9 - 'E', 0},  // accents fold away
      {"\xe9t\xe9", "\xc9T\xc9", 0xe9 - 0xc9, 0, 0},
      {"a-b", "a b", '-' - ' ', '-' - ' ', 0},
      {"\x80", "a", 0x80 - 'a', 0x80 - 'A', 0x80 - 'A'},  // bytes count unsigned
  };
  for (const CompareCase& c : cases) {
    CBoundedString a(c.a);
    CBoundedString b(c.b);
    EXPECT_EQ(a.Compare(b), c.exact) << c.a << " / " << c.b;
    EXPECT_EQ(a.CompareNoCase(b), c.noCase) << c.a << " / " << c.b;
    EXPECT_EQ(a.CompareFolded(b), c.folded) << c.a << " / " << c.b;
  }
}

TEST(BoundedString, FindFolded) {
  CPathBuffer s("Caf\xe9-Th\xe9\xe2tre.txt");
  EXPECT_EQ(s.FindFolded("CAFE THEATRE", 12), 0);
  EXPECT_EQ(s.FindFolded("the", 3), 5);
  EXPECT_EQ(s.FindFolded("TXT", 3), 13);
  EXPECT_EQ(s.FindFolded("txtx", 4), -1);
  EXPECT_EQ(s.FindFolded("", 0), -1);
}

TEST(BoundedString, CaseMapping) {
  CPathBuffer s("h\xe9llo W\xd6rld");
  s.ToUpper();
  EXPECT_EQ(Str(s), "H\xc9LLO W\xd6RLD");
  s.ToLower();
  EXPECT_EQ(Str(s), "h\xe9llo w\xf6rld");
  s.Set("\xe9T\xc9");
  s.Capitalise();
  EXPECT_EQ(Str(s), "\xc9t\xe9");
  s.Set("Cr\xe8me-br\xfbl\xe9" "e");
  s.ToFolded();
  EXPECT_EQ(Str(s), "CREME BRULEE");
}

TEST(BoundedString, PartViews) {
  CPathBuffer s("/mnt/sdcard/notes.txt");
  struct {
    CBoundedString view;
    const char* expected;
  } cases[] = {
      {s.Left(4), "/mnt"},   {s.Left(99), "/mnt/sdcard/notes.txt"}, {s.Left(-1), ""},
      {s.Right(3), "txt"},   {s.Right(99), "/mnt/sdcard/notes.txt"}, {s.Mid(5, 6), "sdcard"},
      {s.Mid(-2, 4), "/mnt"}, {s.Mid(18, 99), "txt"},               {s.Mid(99, 3), ""},
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(c.view.IsExternal());
    EXPECT_EQ(Str(c.view), c.expected);
  }
  EXPECT_EQ(s.Mid(5, 6).Data(), s.Data() + 5);
  CPathBuffer into;
  s.Substring(12, 5, into);
  EXPECT_STREQ(into.CStr(), "notes");
}

TEST(BoundedString, BaseNameAndExtension) {
  const struct {
    const char* path;
    const char* base;
    const char* replaced;  // with ".bak"
  } cases[] = {
      {"/mnt/sdcard/notes.txt", "notes", "/mnt/sdcard/notes.bak"},
      {"notes.tar.gz", "notes.tar", "notes.tar.bak"},
      {"/mnt/sdcard/README", "README", "/mnt/sdcard/README.bak"},
      {"/mnt/my.dir/README", "README", "/mnt/my.dir/README.bak"},  // a dot in a folder is no extension
      {"/mnt/sdcard/", "", "/mnt/sdcard/.bak"},
      {".profile", "", ".bak"},
  };
  for (const auto& c : cases) {
    CPathBuffer p(c.path);
    EXPECT_EQ(Str(p.BaseName()), c.base) << c.path;
    p.ReplaceExtension(CBoundedString(".bak"));
    EXPECT_EQ(Str(p), c.replaced) << c.path;
  }
  EXPECT_EQ(CBoundedString("/a").IsAbsolute(), 1);
  EXPECT_EQ(CBoundedString("a/").IsAbsolute(), 0);
  EXPECT_EQ(CBoundedString("").IsAbsolute(), 0);
  EXPECT_EQ(PathSeparator(), '/');
}

TEST(BoundedString, Numbers) {
  CPathBuffer s;
  s.AppendDecimal(0);
  s.AppendChar(' ');
  s.AppendDecimal(-42);
  s.AppendChar(' ');
  s.AppendDecimal(INT32_MIN);
  s.AppendChar(' ');
  s.AppendDecimal(INT32_MAX);
  s.AppendChar(' ');
  s.AppendNumber(0xBEEFu, 16);
  s.AppendChar(' ');
  s.AppendNumber(35u, 36);
  s.AppendChar(' ');
  s.AppendNumber(5u, 2);
  s.AppendNumber(5u, 1);  // no such base: nothing
  s.AppendNumber(5u, 37);
  EXPECT_EQ(Str(s), "0 -42 -2147483648 2147483647 beef z 101");

  ExactString e(4);
  e.s.AppendDecimal(-12345);  // clipped, never past the capacity
  EXPECT_EQ(Str(e.s), "-123");
}

TEST(BoundedString, ParseInteger) {
  const struct {
    const char* text;
    int32_t value;
    int32_t end;
  } cases[] = {
      {"  -12a", -12, 5},
      {"+7", 7, 2},
      {"", 0, 0},
      {" \t ", 0, 3},
      {"-", 0, 1},
      {"42", 42, 2},
      {"007x", 7, 3},
      {"x12", 0, 0},
      {"\n12", 0, 0},  // only spaces and tabs are skipped
      {"2147483647", INT32_MAX, 10},
      {"-2147483648", INT32_MIN, 11},
      {"2147483648", INT32_MAX, 10},  // too large: saturates
      {"-99999999999999999999999", INT32_MIN, 24},
      {"99999999999999999999999 1", INT32_MAX, 23},
  };
  for (const auto& c : cases) {
    int32_t end = -1;
    EXPECT_EQ(CBoundedString(c.text).ParseInteger(&end), c.value) << c.text;
    EXPECT_EQ(end, c.end) << c.text;
  }
  CPathBuffer s("123456");
  s.SetLength(3);  // digits past the length are not read
  EXPECT_EQ(s.ParseInteger(), 123);
}

TEST(BoundedString, HeapCopy) {
  CPathBuffer s("abc");
  CBoundedString* copy = s.HeapCopy();
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(Str(*copy), "abc");
  EXPECT_EQ(copy->Capacity(), 4);
  EXPECT_TRUE(copy->IsExternal());
  EXPECT_EQ(copy->Data(), reinterpret_cast<char*>(copy) + sizeof(CBoundedString));
  EXPECT_STREQ(copy->CStr(), "abc");
  copy->Set("longer than it");  // clipped to its own capacity
  EXPECT_EQ(Str(*copy), "lon");
  std::free(copy);
}

}  // namespace
