// The content card: the generator writes the same tree on every run, also
// over a stale card of its own, refuses to remove a folder that is not one,
// and the tree holds the awkward entries the scenarios open.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "gfx/cached_free_type_font.h"
#include "tests/support/card_tree.h"

namespace {

const std::string kCard = KESTREL_CONTENT_CARD;

int Generate(const TempDir& dir, const std::string& output, std::string* errors) {
  return RunTool(dir, {KESTREL_CONTENT_GENERATOR, output, KESTREL_DEJAVU_FONT}, errors);
}

TEST(ContentCard, EveryRunWritesTheSameTreeAndNothingStaleSurvives) {
  TempDir dir;
  const std::string first = dir.File("first"), second = dir.File("second");
  std::string errors;
  ASSERT_EQ(0, Generate(dir, first, &errors)) << errors;
  ASSERT_EQ(0, Generate(dir, second, &errors)) << errors;
  // An older card of its own, with names this run no longer writes.
  dir.Write("second/Digits/61.txt", "stale\n");
  dir.Write("second/stale.txt", "stale\n");
  ASSERT_EQ(0, Generate(dir, second, &errors)) << errors;

  const CardTree tree = ReadCardTree(first);
  EXPECT_EQ(tree, ReadCardTree(second));
  EXPECT_EQ(tree, ReadCardTree(kCard)) << "the build's card is this same tree";
  EXPECT_EQ(0u, tree.count("/Digits/61.txt"));
  // The skin is the demo card's, byte for byte.
  CardTree demoSkin, contentSkin;
  ReadCardTree(KESTREL_DEMO_CARD, "/skin", &demoSkin);
  ReadCardTree(kCard, "/skin", &contentSkin);
  EXPECT_EQ(7u, contentSkin.size());
  EXPECT_EQ(demoSkin, contentSkin);
}

TEST(ContentCard, RefusesToRemoveAFolderThatIsNoCard) {
  TempDir dir;
  ASSERT_EQ(0, mkdir(dir.File("mine").c_str(), 0755));
  dir.Write("mine/notes.txt", "keep me\n");
  std::string errors;
  EXPECT_EQ(1, Generate(dir, dir.File("mine"), &errors));
  EXPECT_NE(std::string::npos, errors.find("not removed")) << errors;
  EXPECT_EQ("keep me\n", ReadWholeFile(dir.File("mine/notes.txt")));
}

TEST(ContentCard, HoldsTheListedEntries) {
  const CardTree tree = ReadCardTree(kCard);
  // The empty filter: every name passes.
  EXPECT_EQ("\n", tree.at("/kestrel/config.txt"));

  // 01.txt to 60.txt, each with its own line.
  std::set<std::string> contents;
  for (int i = 1; i <= 60; ++i) {
    const std::string name = std::string(i < 10 ? "0" : "") + std::to_string(i) + ".txt";
    ASSERT_EQ(1u, tree.count("/Digits/" + name)) << name;
    contents.insert(tree.at("/Digits/" + name));
  }
  EXPECT_EQ(60u, contents.size());

  // Flat first lines, each followed by ordinary text.
  const struct {
    const char* name;
    const char* firstLine;
  } flat[] = {{"dashes.txt", "----------\n"}, {"empty.txt", "\n"}, {"ooo.txt", "ooo\n"}};
  for (const auto& f : flat) {
    const std::string content = tree.at(std::string("/Flat first lines/") + f.name);
    EXPECT_EQ(0u, content.find(f.firstLine)) << f.name;
    EXPECT_LE(4, std::count(content.begin(), content.end(), '\n') - 1) << f.name;
  }

  // 2 GiB that take (almost) no disk.
  struct stat st;
  const std::string huge = kCard + "/Huge and odd files/";
  ASSERT_EQ(0, lstat((huge + "big sparse 2 GiB.txt").c_str(), &st));
  EXPECT_EQ(off_t{2} << 30, st.st_size);
  EXPECT_LT(st.st_blocks * 512, 1 << 20);
  EXPECT_EQ("|", tree.at("/Huge and odd files/fifo.txt"));
  EXPECT_EQ("-> loop b.txt", tree.at("/Huge and odd files/loop a.txt"));
  EXPECT_EQ("-> loop a.txt", tree.at("/Huge and odd files/loop b.txt"));
  errno = 0;
  EXPECT_NE(0, stat((huge + "loop a.txt").c_str(), &st));
  EXPECT_EQ(ELOOP, errno);

  // 200 folders deep.
  std::string nested = "/Nested";
  for (int level = 1; level <= 200; ++level) {
    const std::string n = std::to_string(level);
    nested += "/level " + std::string(3 - n.size(), '0') + n;
    ASSERT_EQ(1u, tree.count(nested + "/")) << nested;
  }
  EXPECT_EQ(1u, tree.count(nested + "/bottom.txt"));

  // Between them, the odd names hold every byte but NUL and "/", each in
  // one name's run of values, and a name that is a line feed and printf
  // directives.
  std::map<int, int> bytes;
  for (const auto& [path, content] : tree) {
    const std::string prefix = "/Odd names/bytes ";
    if (path.rfind(prefix, 0) != 0) continue;
    const std::string name = path.substr(std::string("/Odd names/").size());
    EXPECT_GE(255u, name.size());
    for (size_t i = 8; i + 4 < name.size(); ++i) ++bytes[static_cast<unsigned char>(name[i])];
  }
  for (int b = 1; b < 256; ++b) EXPECT_EQ(b == '/' ? 0 : 1, bytes[b]) << "byte " << b;
  EXPECT_EQ(1u, tree.count("/Odd names/line\nfeed %s%n%x.txt"));

  // A folder name wider than the screen in the skin's font.
  std::unique_ptr<MFont> font(CreateCachedFont((kCard + "/skin/DejaVuSans.ttf").c_str(), 16));
  ASSERT_NE(nullptr, font);
  bool wide = false;
  for (const auto& [path, content] : tree)
    if (path.rfind("/Long folder", 0) == 0 && content == "/") wide = font->GetTextWidth(path.c_str()) > 320;
  EXPECT_TRUE(wide);
}

}  // namespace
