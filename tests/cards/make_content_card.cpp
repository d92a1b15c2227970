// make_content_card <output card> <DejaVuSans.ttf>
//
// Writes the content card: what real cards hold and a tidy demo does not
// (the tree is listed in tests/cards/CMakeLists.txt). The output folder is
// removed first, so nothing stale survives, and every run writes the same
// tree. A folder that is not empty and lacks the card's mark is refused, so
// a wrong argument cannot remove someone's files.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <dirent.h>

#include "demo/card_writer.h"

namespace {

// Hidden from the program (a leading dot), so it never shows in a list.
const char* const kMark = ".kestrel content card";

constexpr int kDigitFiles = 60;
constexpr int kNestedLevels = 200;
constexpr off_t kHugeSize = off_t{2} << 30;

std::string Number(int n, int width) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*d", width, n);
  return text;
}

std::string Lines(const std::string& prefix, int count) {
  std::string out;
  for (int i = 1; i <= count; ++i) out += prefix + " line " + Number(i, 2) + " of " + Number(count, 2) + "\n";
  return out;
}

// The names that hold every byte from 1 to 255 but the slash, 64 values a
// name; "bytes N " in front keeps each from starting with a dot.
std::vector<std::string> EveryByteNames() {
  std::vector<std::string> names;
  for (int first = 1; first < 256; first += 64) {
    std::string name = "bytes " + std::to_string(first / 64 + 1) + " ";
    for (int b = first; b < first + 64 && b < 256; ++b) {
      if (b != '/') name.push_back(static_cast<char>(b));
    }
    names.push_back(name + ".txt");
  }
  return names;
}

bool Folder(const std::string& path) {
  if (mkdir(path.c_str(), 0755) == 0) return true;
  return FailErrno("cannot create folder", path);
}

// 2 GiB that take no disk: a first line of text, then a hole.
bool WriteSparse(const std::string& path) {
  if (!WriteFile(path, "This file is 2 GiB long; past this line it holds only NUL bytes.\n")) return false;
  if (truncate(path.c_str(), kHugeSize) != 0) return FailErrno("cannot extend", path);
  return true;
}

bool EmptyOrMarked(const std::string& path) {
  DIR* dir = opendir(path.c_str());
  if (dir == nullptr) return errno == ENOENT || FailErrno("cannot open folder", path);
  bool empty = true;
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") empty = false;
  }
  closedir(dir);
  if (empty || access((path + "/" + kMark).c_str(), F_OK) == 0) return true;
  return Fail(path + " is not empty and holds no content card: not removed");
}

bool WriteCard(const std::string& card, const std::string& font) {
  if (!Folder(card) || !WriteFile(card + "/" + kMark, "")) return false;
  if (!Folder(card + "/kestrel") || !WriteFile(card + "/kestrel/config.txt", "\n")) return false;

  const std::string digits = card + "/Digits";
  if (!Folder(digits)) return false;
  for (int i = 1; i <= kDigitFiles; ++i) {
    const std::string n = Number(i, 2);
    if (!WriteFile(digits + "/" + n + ".txt", "This is file " + n + ".\n")) return false;
  }

  const std::string flat = card + "/Flat first lines";
  const std::string rest =
      "A list takes the height of its rows from its text,\n"
      "so a first line without tall letters must not\n"
      "make every row of the list flat.\n"
      "The last line of the file.\n";
  if (!Folder(flat) || !WriteFile(flat + "/dashes.txt", "----------\n" + rest) ||
      !WriteFile(flat + "/empty.txt", "\n" + rest) || !WriteFile(flat + "/ooo.txt", "ooo\n" + rest)) {
    return false;
  }

  const std::string huge = card + "/Huge and odd files";
  if (!Folder(huge) || !WriteSparse(huge + "/big sparse 2 GiB.txt")) return false;
  if (mkfifo((huge + "/fifo.txt").c_str(), 0644) != 0) return FailErrno("cannot create FIFO", huge + "/fifo.txt");
  if (symlink("loop b.txt", (huge + "/loop a.txt").c_str()) != 0 ||
      symlink("loop a.txt", (huge + "/loop b.txt").c_str()) != 0) {
    return FailErrno("cannot create link", huge + "/loop a.txt");
  }

  const std::string longFolder = card + "/Long folder name, much wider than the title row of the screen can show";
  if (!Folder(longFolder) ||
      !WriteFile(longFolder + "/A file name that is also far wider than the screen, cut at its right edge.txt",
                 "A short file in a folder with a long name.\n")) {
    return false;
  }

  std::string nested = card + "/Nested";
  if (!Folder(nested)) return false;
  for (int level = 1; level <= kNestedLevels; ++level) {
    nested += "/level " + Number(level, 3);
    if (!Folder(nested)) return false;
  }
  if (!WriteFile(nested + "/bottom.txt", "Two hundred folders down.\n")) return false;

  const std::string odd = card + "/Odd names";
  if (!Folder(odd)) return false;
  for (const std::string& name : EveryByteNames()) {
    if (!WriteFile(odd + "/" + name, "This name holds 63 or 64 byte values.\n")) return false;
  }
  if (!WriteFile(odd + "/line\nfeed %s%n%x.txt", "A line feed and printf directives in the name.\n")) return false;

  const std::string scrolling = card + "/Scrolling";
  if (!Folder(scrolling) || !WriteFile(scrolling + "/A long file.txt", Lines("A:", 40)) ||
      !WriteFile(scrolling + "/B long file.txt", Lines("B:", 40))) {
    return false;
  }

  return WriteDemoSkin(card, font);
}

}  // namespace

int main(int argc, char** argv) {
  SetCardToolName("make_content_card");
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_content_card <output card> <DejaVuSans.ttf>\n");
    return 2;
  }
  const std::string output = argv[1];
  std::string font;
  if (!ReadDejaVuFont(argv[2], &font)) return 1;
  if (output.empty() || output == "/" || !EmptyOrMarked(output) || !RemoveTree(output) || !WriteCard(output, font)) {
    return 1;
  }
  return 0;
}
