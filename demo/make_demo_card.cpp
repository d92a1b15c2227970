// make_demo_card <committed card> <output card> <DejaVuSans.ttf>
//
// Writes the demo card: the committed tree copied, then what git cannot hold
// or what is not worth committing (a folder of 60 names, Latin-1 and broken
// UTF-8 names, a binary file, an empty folder, the skin with its font and
// pictures). The output folder is removed first, so nothing stale survives,
// and every byte written is the same on every run.

#include <dirent.h>
#include <limits.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "demo/card_writer.h"

namespace {

// Copies folders and regular files only: anything else in the committed tree
// is a mistake, not something to pass on to the card.
bool CopyTree(const std::string& from, const std::string& to) {
  if (!MakeDir(to)) return false;
  DIR* dir = opendir(from.c_str());
  if (dir == nullptr) return FailErrno("cannot open folder", from);
  bool ok = true;
  while (ok) {
    errno = 0;
    const dirent* entry = readdir(dir);
    if (entry == nullptr) {
      if (errno != 0) ok = FailErrno("cannot read folder", from);
      break;
    }
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    const std::string source = from + "/" + name;
    const std::string target = to + "/" + name;
    struct stat st;
    if (lstat(source.c_str(), &st) != 0) {
      ok = FailErrno("cannot look at", source);
    } else if (S_ISDIR(st.st_mode)) {
      ok = CopyTree(source, target);
    } else if (S_ISREG(st.st_mode)) {
      std::string content;
      ok = ReadFile(source, &content) && WriteFile(target, content);
    } else {
      ok = Fail("neither a folder nor a regular file: " + source);
    }
  }
  closedir(dir);
  return ok;
}

// --- generated card items ---

std::string Number2(int n) {
  char text[8];
  std::snprintf(text, sizeof text, "%02d", n);
  return text;
}

// All 256 byte values, a run of NUL bytes, then xorshift noise: 4 KiB that
// are no text at all, the same on every run.
std::string BinaryContent() {
  std::string out;
  for (int i = 0; i < 256; ++i) out.push_back(static_cast<char>(i));
  out.append(256, '\0');
  uint32_t state = 0x2545F491u;
  while (out.size() < 4096) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    out.push_back(static_cast<char>(state & 0xFF));
  }
  return out;
}

struct Item {
  const char* path;  // below the card
  std::string content;
};

bool WriteGenerated(const std::string& card, const std::string& font) {
  // Folders first, in the order of their nesting.
  const char* folders[] = {"Big folder", "Empty folder", "Odd names folder"};
  for (const char* folder : folders) {
    if (!MakeDir(card + "/" + folder)) return false;
  }
  for (int i = 1; i <= 60; ++i) {
    const std::string number = Number2(i);
    if (!WriteFile(card + "/Big folder/file " + number + ".txt", "File " + number + " of 60.\n")) return false;
  }
  const Item items[] = {
      {"Caf\xE9 menu.txt",
       "This name is Latin-1: its fourth byte is 0xE9.\n"
       "Caf\xE9 au lait\n"
       "Cr\xE8me br\xFBl\xE9" "e\n"
       "Cr\xEApe au citron\n"},
      {"binary.dat", BinaryContent()},
      {"Odd names folder/broken \xC3\x28 utf-8.txt",
       "This name holds the bytes 0xC3 0x28, which are no UTF-8: each byte shows as it is.\n"},
      {"Odd names folder/utf-8 caf\xC3\xA9.txt",
       "This name is UTF-8: the two bytes of its last letter show as two characters.\n"},
      {"Odd names folder/\xE9t\xE9 latin-1 last.txt",
       "Bytes above 0x7F sort after every letter.\n"},
  };
  for (const Item& item : items) {
    if (!WriteFile(card + "/" + item.path, item.content)) return false;
  }
  return WriteDemoSkin(card, font);
}

// The output is removed wholesale: refuse a folder that holds the committed
// tree or lies inside it.
bool SafeOutput(const std::string& source, const std::string& output) {
  char real[PATH_MAX];
  if (realpath(source.c_str(), real) == nullptr) return FailErrno("cannot find", source);
  const std::string from = std::string(real) + "/";
  // The output may not exist yet: resolve its parent folder.
  const size_t slash = output.find_last_of('/');
  const std::string parent = slash == std::string::npos ? "." : (slash == 0 ? "/" : output.substr(0, slash));
  if (realpath(parent.c_str(), real) == nullptr) return FailErrno("cannot find", parent);
  std::string to = std::string(real);
  if (to.back() != '/') to += "/";
  to += output.substr(slash == std::string::npos ? 0 : slash + 1);
  if (to.back() != '/') to += "/";
  if (to == "/" || from.compare(0, to.size(), to) == 0 || to.compare(0, from.size(), from) == 0) {
    return Fail("the output " + output + " would overlap the committed card " + source);
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  SetCardToolName("make_demo_card");
  if (argc != 4) {
    std::fprintf(stderr, "usage: make_demo_card <committed card> <output card> <DejaVuSans.ttf>\n");
    return 2;
  }
  const std::string source = argv[1], output = argv[2], fontPath = argv[3];
  std::string font;
  if (!ReadDejaVuFont(fontPath, &font)) return 1;
  if (!SafeOutput(source, output) || !RemoveTree(output) || !CopyTree(source, output) ||
      !WriteGenerated(output, font)) {
    return 1;
  }
  return 0;
}
