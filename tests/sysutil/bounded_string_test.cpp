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
  EXPECT_EQ(sizeof(p), 8u + 256u);
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

TEST(BoundedString, CaseTables) {
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

TEST(BoundedString, Locations) {
  const struct {
    int type;
    const char* directory;
  } cases[] = {
      {kLocationRuntime, "/var/run/"},
      {kLocationFlash, "/mnt/flash/"},
      {kLocationSdkRegistry, "/mnt/sdcard/SdkRegistry/"},
      {kLocationCard, "/mnt/sdcard/"},
      {kLocationCardData, "/mnt/sdcard/"},
      {0, "/mnt/sdcard/"},
      {-7, "/mnt/sdcard/"},
      {1000, "/mnt/sdcard/"},
  };
  for (const auto& c : cases) {
    EXPECT_STREQ(LocationDirectory(c.type).CStr(), c.directory) << c.type;
  }
  EXPECT_STREQ(LocationFile(kLocationRuntime, CBoundedString("x")).CStr(), "/var/run/x");
  // Every call shares one buffer...
  CBoundedString& first = LocationDirectory(kLocationFlash);
  EXPECT_EQ(&first, &LocationFile(kLocationCard, CBoundedString("a")));
  // ...and a name that is an earlier result survives the overwrite.
  EXPECT_STREQ(LocationFile(kLocationRuntime, LocationDirectory(kLocationFlash)).CStr(),
               "/var/run//mnt/flash/");

  CPathBuffer longName;
  longName.AppendChar('n', 300);
  CBoundedString& clipped = LocationFile(kLocationRuntime, longName);
  EXPECT_EQ(clipped.Length(), 255);
  EXPECT_EQ(Str(clipped.Left(9)), "/var/run/");
}

}  // namespace

// --- file system, on real files in a temporary folder -----------------------

#include <sys/stat.h>

#include "tests/support/temp_dir.h"

namespace {

CPathBuffer PathOf(const std::string& path) { return CPathBuffer(path.c_str()); }

TEST(FileSystem, Tests) {
  TempDir dir;
  std::string file = dir.Write("f.txt", "x");
  EXPECT_EQ(PathOf(dir.Path()).IsDirectory(), 1);
  EXPECT_EQ(PathOf(dir.Path()).IsFile(), 0);
  EXPECT_EQ(PathOf(file).IsFile(), 1);
  EXPECT_EQ(PathOf(file).IsDirectory(), 0);
  EXPECT_EQ(PathOf(dir.File("none")).IsFile(), 0);
  EXPECT_EQ(PathOf(dir.File("none")).IsDirectory(), 0);
  EXPECT_EQ(CBoundedString("").IsDirectory(), 0);

  // The path may be a view over part of a longer text: nothing is written into it.
  std::string text = file + "trailing";
  CBoundedString whole(text.c_str());
  EXPECT_EQ(whole.Left(static_cast<int32_t>(file.size())).IsFile(), 1);
  EXPECT_EQ(std::string(text.c_str()), file + "trailing");
}

TEST(FileSystem, PathsThatCannotBePassedOnAreRefused) {
  TempDir dir;
  // A file whose path is exactly the path capacity, and a longer path that
  // starts with it: cutting the longer one would name the file.
  std::string file = dir.Write(std::string(kPathCapacity - dir.Path().size() - 1, 'f'), "x");
  ASSERT_EQ(file.size(), static_cast<size_t>(kPathCapacity));
  std::string longer = file + "/more";
  CBoundedString longView(longer.c_str());
  EXPECT_EQ(CBoundedString(file.c_str()).IsFile(), 1);
  EXPECT_EQ(longView.IsFile(), 0);
  EXPECT_EQ(longView.Remove(), -1);
  EXPECT_EQ(longView.CopyFile(CBoundedString(dir.File("c").c_str())), -1);

  std::string withNul = file + std::string(1, '\0') + "x";
  CBoundedString nulView(withNul.c_str(), static_cast<int32_t>(withNul.size()),
                         static_cast<int32_t>(withNul.size()));
  EXPECT_EQ(nulView.Remove(), -1);
  EXPECT_EQ(nulView.FreeSpaceKiB(), 0);
  EXPECT_EQ(ReadWholeFile(file), "x");
}

TEST(FileSystem, DirectoriesFilesAndRenames) {
  TempDir dir;
  CPathBuffer sub = PathOf(dir.File("sub"));
  EXPECT_EQ(sub.MakeDirectory(), 0);
  EXPECT_EQ(sub.MakeDirectory(), -1);  // already there
  struct stat st;
  ASSERT_EQ(stat(sub.CStr(), &st), 0);
  EXPECT_EQ(st.st_mode & 0700, 0700u);
  EXPECT_EQ(PathOf(dir.File("a/b")).MakeDirectory(), -1);  // parents are not made

  std::string file = dir.Write("sub/f", "data");
  EXPECT_EQ(sub.RemoveDirectory(), -1);  // not empty
  CPathBuffer moved = PathOf(dir.File("g"));
  EXPECT_EQ(PathOf(file).Rename(moved), 0);
  EXPECT_EQ(ReadWholeFile(dir.File("g")), "data");
  EXPECT_EQ(PathOf(file).Rename(moved), -1);
  EXPECT_EQ(sub.RemoveDirectory(), 0);
  EXPECT_EQ(sub.IsDirectory(), 0);
  EXPECT_EQ(moved.Remove(), 0);
  EXPECT_EQ(moved.Remove(), -1);
}

TEST(FileSystem, CopyFile) {
  TempDir dir;
  std::string big(150000, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7 + i / 300);
  std::string from = dir.Write("big", big);
  EXPECT_EQ(PathOf(from).CopyFile(PathOf(dir.File("copy"))), 0);  // three blocks
  EXPECT_EQ(ReadWholeFile(dir.File("copy")), big);

  dir.Write("copy", std::string(200000, 'o'));  // an existing destination is truncated
  EXPECT_EQ(PathOf(from).CopyFile(PathOf(dir.File("copy"))), 0);
  EXPECT_EQ(ReadWholeFile(dir.File("copy")), big);

  std::string empty = dir.Write("empty", "");
  ASSERT_EQ(chmod(empty.c_str(), 0604), 0);
  EXPECT_EQ(PathOf(empty).CopyFile(PathOf(dir.File("empty2"))), 0);
  struct stat st;
  ASSERT_EQ(stat(dir.File("empty2").c_str(), &st), 0);
  EXPECT_EQ(st.st_size, 0);
  EXPECT_EQ(st.st_mode & 07777, 0604u);

  EXPECT_EQ(PathOf(dir.File("none")).CopyFile(PathOf(dir.File("x"))), -1);
  EXPECT_EQ(ReadWholeFile(dir.File("x")), "<missing>");
  EXPECT_EQ(PathOf(from).CopyFile(PathOf(dir.File("no/x"))), -1);

  // Onto itself (also through another spelling): refused, the data stays.
  EXPECT_EQ(PathOf(from).CopyFile(PathOf(from)), -1);
  EXPECT_EQ(PathOf(from).CopyFile(PathOf(dir.Path() + "/./big")), -1);
  EXPECT_EQ(ReadWholeFile(from), big);
}

TEST(FileSystem, FreeSpace) {
  TempDir dir;
  EXPECT_GT(PathOf(dir.Path()).FreeSpaceKiB(), 0);
  EXPECT_EQ(PathOf(dir.File("none")).FreeSpaceKiB(), 0);
}

}  // namespace
