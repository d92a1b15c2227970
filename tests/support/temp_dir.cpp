#include "tests/support/temp_dir.h"

#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

TempDir::TempDir() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/kestrel-test-XXXXXX";
  std::vector<char> buf(pattern.begin(), pattern.end());
  buf.push_back('\0');
  if (mkdtemp(buf.data()) == nullptr) {
    std::perror("mkdtemp");
    std::abort();
  }
  iPath = buf.data();
}

namespace {
int RemoveEntry(const char* path, const struct stat*, int, struct FTW*) {
  chmod(path, 0700);  // tests make unreadable entries; make them removable again
  return remove(path);
}
int MakeWritable(const char* path, const struct stat* st, int type, struct FTW*) {
  if (type == FTW_D || type == FTW_DNR || S_ISDIR(st->st_mode)) chmod(path, 0700);
  return 0;
}
}  // namespace

TempDir::~TempDir() {
  nftw(iPath.c_str(), MakeWritable, 16, FTW_PHYS);
  nftw(iPath.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
}

std::string TempDir::Write(const std::string& name, const std::string& content) const {
  std::string p = File(name);
  std::ofstream out(p, std::ios::binary);
  out << content;
  return p;
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "<missing>";
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}
