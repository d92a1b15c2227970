// The sandbox itself: what every device-path test relies on.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <string>

#include "tests/support/sandbox_guard.h"

namespace {

int CountEntries(const char* dir) {
  DIR* d = opendir(dir);
  if (d == nullptr) return -1;
  int n = 0;
  while (dirent* e = readdir(d)) {
    if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") ++n;
  }
  closedir(d);
  return n;
}

TEST(Sandbox, DevicePlacesAreFreshAndWritable) {
  KESTREL_REQUIRE_SANDBOX();
  EXPECT_NE(0u, getuid()) << "permission checks need an unprivileged user";
  // /tmp shows only the folder that holds this program, when it lives there.
  char self[4096];
  ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  ASSERT_GT(n, 0);
  self[n] = '\0';
  const int kept = std::strncmp(self, "/tmp/", 5) == 0 ? 1 : 0;
  for (const char* dir : {"/var/run", "/mnt", "/tmp"}) {
    EXPECT_EQ(std::strcmp(dir, "/tmp") == 0 ? kept : 0, CountEntries(dir)) << dir;
  }
  EXPECT_NE(0, access("/proc/corvina", F_OK)) << "only the sandboxes that ask for it";
  for (const char* file : {"/var/run/probe", "/mnt/probe", "/dev/probe", "/tmp/probe"}) {
    std::ofstream out(file);
    EXPECT_TRUE(out.good()) << file;
    out.close();
    EXPECT_EQ(0, unlink(file)) << file;
  }
}

TEST(Sandbox, RealProcfsStaysReadable) {
  KESTREL_REQUIRE_SANDBOX();
  std::ifstream maps("/proc/self/maps");
  std::string line;
  EXPECT_TRUE(std::getline(maps, line).good());
  EXPECT_GT(CountEntries("/proc/self/task"), 0);
}

TEST(Sandbox, UnprivilegedUserIsRefusedAccess) {
  KESTREL_REQUIRE_SANDBOX();
  const char* path = "/var/run/locked";
  int fd = open(path, O_CREAT | O_WRONLY, 0000);
  ASSERT_GE(fd, 0);
  close(fd);
  EXPECT_NE(0, access(path, R_OK));
  unlink(path);
}

}  // namespace
