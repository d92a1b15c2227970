#include "sysutil/format.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "sysutil/bounded_string.h"
#include "sysutil/platform_time.h"
#include "tests/support/fake_clock.h"

namespace {

// Values in order; a string conversion takes the next entry of `strings`.
class CListValues final : public MFormatValues {
 public:
  CListValues(std::vector<int32_t> ints, std::vector<const char*> strings)
      : iInts(std::move(ints)), iStrings(std::move(strings)) {}
  int32_t NextSigned(int) override { return iInts.at(iNextInt++); }
  uint32_t NextUnsigned(int) override { return static_cast<uint32_t>(iInts.at(iNextInt++)); }
  const char* NextString() override { return iStrings.at(iNextString++); }

 private:
  std::vector<int32_t> iInts;
  std::vector<const char*> iStrings;
  size_t iNextInt = 0;
  size_t iNextString = 0;
};

struct FormatCase {
  int32_t size;
  const char* format;
  std::vector<int32_t> ints;
  std::vector<const char*> strings;
  const char* expected;
};

void PrintTo(const FormatCase& c, std::ostream* os) {
  *os << c.size << " \"" << c.format << "\"";
}

class Format : public ::testing::TestWithParam<FormatCase> {};

TEST_P(Format, Writes) {
  const FormatCase& c = GetParam();
  // Exactly `size` bytes, so ASan sees any store past the buffer.
  std::unique_ptr<char[]> buffer(new char[c.size]);
  CListValues values(c.ints, c.strings);
  int32_t n = FormatBuffer(buffer.get(), c.size, c.format, values);
  EXPECT_STREQ(buffer.get(), c.expected);
  EXPECT_EQ(n, static_cast<int32_t>(std::string(c.expected).size()));
}

const std::string k200(200, 'n');
const std::string kCutName = k200 + "." + k200.substr(0, 54);  // 255 characters

INSTANTIATE_TEST_SUITE_P(
    Cases, Format,
    ::testing::Values(
        FormatCase{16, "plain", {}, {}, "plain"},
        FormatCase{1, "plain %d", {1}, {}, ""},  // only the NUL
        FormatCase{4, "plain", {}, {}, "pla"},
        FormatCase{16, "%03d|%3d|%d", {7, 7, 7}, {}, "007|  7|7"},
        FormatCase{16, "%12d|", {5}, {}, "           5|"},  // two-digit width
        FormatCase{16, "%5d|%05d", {-42, -42}, {}, "-   42|-00042"},  // sign before the padding
        FormatCase{16, "%5s|%s", {}, {"ab", ""}, "ab|"},        // no width for s
        FormatCase{16, "%+d %+u %+x", {5, 5, 255}, {}, "+5 5 +FF"},
        FormatCase{16, "%+d", {-5}, {}, "-5"},
        FormatCase{16, "%x %X %x", {0xabc, 0xabc, -255}, {}, "ABC ABC -FF"},
        FormatCase{16, "%x%d", {255, 255}, {}, "FF255"},  // the base does not stick
        FormatCase{16, "%u", {-1}, {}, "4294967295"},
        FormatCase{32, "%d %x", {INT32_MIN, INT32_MIN}, {}, "-2147483648 -80000000"},
        FormatCase{16, "%c%c%c", {'a', 'b' + 256, '%'}, {}, "ab%"},
        FormatCase{16, "%q%%|%hd%ld%lld", {1, 2, 3}, {}, "q%|123"},
        FormatCase{16, "%012d", {5}, {}, "2d"},  // a second digit after "%0N" is no width
        FormatCase{16, "%0xd|", {5}, {}, "5|"},  // the character after '0' is the width
        FormatCase{16, "ab%", {}, {}, "ab"},  // formats ending inside a conversion
        FormatCase{16, "ab%+l", {}, {}, "ab"},
        FormatCase{16, "ab%0", {}, {}, "ab"},
        FormatCase{16, "ab%1", {}, {}, "ab"},
        FormatCase{16, "ab%05", {}, {}, "ab"},
        FormatCase{6, "%s", {}, {"abcdefgh"}, "abcde"},  // cut at size - 1
        FormatCase{6, "ab%5d", {1}, {}, "ab   "},
        FormatCase{6, "ab%d", {-1234}, {}, "ab-12"},
        FormatCase{8, "%s|%s", {}, {nullptr, "x"}, "|x"},  // a null string shows nothing
        FormatCase{256, "%s.%s.%u.%u.message", {812, 3}, {k200.c_str(), k200.c_str()},
                   kCutName.c_str()}));

TEST(FormatString, FillsATargetAndSetsItsLength) {
  CPathBuffer path;
  path.Set("old contents");
  int32_t n = FormatString(path, "%s.%s.%u.%u.message", "client", "ZelkonNavigationServer",
                           812u, 3u);
  EXPECT_STREQ(path.CStr(), "client.ZelkonNavigationServer.812.3.message");
  EXPECT_EQ(n, path.Length());

  std::string name(300, 'x');
  n = FormatString(path, "%s", name.c_str());
  EXPECT_EQ(n, 255);
  EXPECT_EQ(path.Length(), 255);

  // Values read at their own size: a long whose high half is set shows its low 32 bits.
  FormatString(path, "%ld|%lu|%lld|%hd", static_cast<long>(0x100000007LL),
               static_cast<unsigned long>(0x100000008ULL), -3LL, static_cast<short>(-4));
  EXPECT_STREQ(path.CStr(), "7|8|-3|-4");
}

TEST(FormatString, EmptyCapacityWritesNothing) {
  char none[1] = {'z'};
  CBoundedString target(none, 0, 0);
  EXPECT_EQ(FormatString(target, "%d", 5), 0);
  EXPECT_EQ(none[0], 'z');
  EXPECT_EQ(target.Length(), 0);
}

TEST(CharacterClasses, Work) {
  EXPECT_EQ(IsDigit('0') + IsDigit('9'), 2);
  EXPECT_EQ(IsDigit('/') + IsDigit(':') + IsDigit(0xb2), 0);
  EXPECT_EQ(IsAlpha('a') + IsAlpha('Z'), 2);
  EXPECT_EQ(IsAlpha('@') + IsAlpha('[') + IsAlpha('`') + IsAlpha('{') + IsAlpha(0xe9), 0);
  EXPECT_EQ(IsUpper('A') + IsLower('z'), 2);
  EXPECT_EQ(IsUpper('a') + IsLower('Z'), 0);
  EXPECT_EQ(UpperOf(0xe9), 0xc9);
  EXPECT_EQ(LowerOf(0xc9), 0xe9);
  EXPECT_EQ(FoldOf(0xe9), 'E');
  // A plain char above 127 is negative: it still selects its table entry.
  EXPECT_EQ(FoldOf(static_cast<char>(0xe9)), 'E');
  EXPECT_EQ(UpperOf(static_cast<char>(0xff)), 0xff);
}

TEST(Clock, ElapsedOnTheTimeOfDay) {
  CFakeClock clock;
  const int64_t start = NowMilliseconds();
  EXPECT_EQ(CFakeClock::kDefaultWallSeconds * 1000, start);
  SleepMicroseconds(1000000);
  EXPECT_EQ(start + 1000, NowMilliseconds());
  EXPECT_EQ(1, HasElapsed(start, 999));
  EXPECT_EQ(0, HasElapsed(start, 1000));  // more than the interval, not as much
  EXPECT_EQ(1, HasElapsed(NowMilliseconds() + 100000, 10));  // the clock went back
  EXPECT_EQ(1, HasElapsed(INT64_MIN, INT64_MAX));
  EXPECT_EQ(0, HasElapsed(start, INT64_MAX));  // no overflow of start + interval
  EXPECT_EQ(1, HasElapsed(start, -1));
  // Whole milliseconds are floored, also before the epoch.
  clock.SetWallSeconds(0);
  clock.Advance(-1500);
  EXPECT_EQ(-2, NowMilliseconds());
  int r = RandomNumber(INT32_MAX);
  EXPECT_GE(r, 0);
  EXPECT_LE(r, RAND_MAX);
}

}  // namespace
