// Files read into line tables: the line rule (the extra empty line after a
// final line feed, carriage returns and NUL bytes kept), the configuration's
// carriage-return rule, the byte and line caps at their edges, and paths
// that give no file.
#include "app/text_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace {

std::vector<std::string> Lines(const CLineTable& t) {
  std::vector<std::string> out;
  for (uint32_t i = 0; i < t.Size(); ++i) out.emplace_back(t.Text(i), t.Length(i));
  return out;
}

// The table read from a file of `content`.
CLineTable ReadFile(const TempDir& dir, const std::string& content, ELineRule rule,
                    uint32_t maxBytes = kMaxFileBytes, uint32_t maxLines = kMaxFileLines) {
  const std::string path = dir.Write("f.txt", content);
  CTextFileReader reader;
  CLineTable t;
  EXPECT_TRUE(reader.Open(path.c_str()));
  EXPECT_TRUE(reader.ReadLines(t, rule, maxBytes, maxLines));
  return t;
}

using L = std::vector<std::string>;

TEST(TextFile, LineRules) {
  const std::string nul("a\0b", 3);
  struct Case {
    std::string content;
    L file;    // kKeepCarriageReturn
    L config;  // kCutAfterCarriageReturn
  } cases[] = {
      {"a\nb\n", {"a", "b", ""}, {"a", "b", ""}},
      {"a\r\nb\r\n", {"a\r", "b\r", ""}, {"a", "b", ""}},
      {"abc", {"abc"}, {"abc"}},
      {"", {""}, {""}},
      {"\n", {"", ""}, {"", ""}},
      {"a\rb", {"a\rb"}, {"a\r"}},
      {"\r\n\r", {"\r", "\r"}, {"", ""}},
      {nul + "\n" + nul, {nul, nul}, {nul, nul}},
      {"x\n\n\ny", {"x", "", "", "y"}, {"x", "", "", "y"}},
  };
  TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.content);
    EXPECT_EQ(c.file, Lines(ReadFile(dir, c.content, ELineRule::kKeepCarriageReturn)));
    EXPECT_EQ(c.config, Lines(ReadFile(dir, c.content, ELineRule::kCutAfterCarriageReturn)));
  }
}

TEST(TextFile, ByteCapEndsTheDataThere) {
  TempDir dir;
  // The config's cap: a line feed as the last byte kept gives the empty line.
  EXPECT_EQ((L{"abc", ""}), Lines(ReadFile(dir, "abc\ndef", ELineRule::kKeepCarriageReturn, 4)));
  EXPECT_EQ((L{"abc", "d"}), Lines(ReadFile(dir, "abc\ndef", ELineRule::kKeepCarriageReturn, 5)));
  // The file cap, at and past the edge.
  const std::string whole(kMaxFileBytes, 'x');
  CLineTable t = ReadFile(dir, whole, ELineRule::kKeepCarriageReturn);
  ASSERT_EQ(1u, t.Size());
  EXPECT_EQ(kMaxFileBytes, t.Length(0));
  EXPECT_EQ(uint64_t{kMaxFileBytes} + 1, t.BufferBytes()) << "one buffer of the file's bytes and a spare";
  // Past it, also when a caller asks for more.
  t = ReadFile(dir, whole + "\nmore", ELineRule::kKeepCarriageReturn, ~0u);
  ASSERT_EQ(1u, t.Size());
  EXPECT_EQ(kMaxFileBytes, t.Length(0));
}

TEST(TextFile, LineCapKeepsTheFirstLines) {
  TempDir dir;
  // kMaxFileLines - 1 line feeds: exactly kMaxFileLines lines, the last empty.
  std::string feeds(kMaxFileLines - 1, '\n');
  CLineTable t = ReadFile(dir, feeds, ELineRule::kKeepCarriageReturn);
  EXPECT_EQ(kMaxFileLines, t.Size());
  feeds += "\nlast";
  t = ReadFile(dir, feeds, ELineRule::kKeepCarriageReturn);
  ASSERT_EQ(kMaxFileLines, t.Size());
  EXPECT_EQ(0u, t.Length(kMaxFileLines - 1)) << "the line past the cap is dropped";
}

TEST(TextFile, PathsWithoutAFileDoNotOpen) {
  TempDir dir;
  CTextFileReader reader;
  EXPECT_FALSE(reader.Open(dir.Path().c_str()));
  EXPECT_FALSE(reader.Open(dir.File("missing").c_str()));
  EXPECT_FALSE(reader.Open(""));
}

// A FIFO or a device under a file's name is refused at once, never waited on.
TEST(TextFile, AFifoOrADeviceIsRefusedWithoutWaiting) {
  TempDir dir;
  const std::string fifo = dir.File("fifo");
  ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
  CTextFileReader reader;
  EXPECT_FALSE(reader.Open(fifo.c_str()));
  EXPECT_FALSE(reader.Open("/dev/null"));
}

// Reading stops at the bounds: at most maxLines lines are kept, and the data
// ends after maxBytes bytes.
TEST(TextFile, NoBytePastTheBoundIsRead) {
  TempDir dir;
  const ELineRule keep = ELineRule::kKeepCarriageReturn;
  EXPECT_EQ((L{"a", "b"}), Lines(ReadFile(dir, "a\nb\nc\nd\n", keep, 100, 2)));
  // The data ends at the byte bound, inside a line.
  EXPECT_EQ((L{"0123456789", "r"}), Lines(ReadFile(dir, "0123456789\nrest of the data", keep, 12, 50)));
}

}  // namespace
