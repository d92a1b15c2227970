#pragma once
// The memory card of a sandbox test: /mnt/sdcard emptied and made again,
// and folders and files put on it. Only inside the device sandbox, where /mnt
// is a fresh tmpfs.

#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

inline constexpr const char* kTestCard = "/mnt/sdcard";

inline int RemoveCardEntry(const char* path, const struct stat*, int, struct FTW*) { return remove(path); }
inline int OpenCardEntry(const char* path, const struct stat* st, int type, struct FTW*) {
  // Tests lock folders; open them again so they can be removed.
  if (type == FTW_D || type == FTW_DNR || S_ISDIR(st->st_mode)) chmod(path, 0700);
  return 0;
}

// An empty card; the working directory leaves it first.
inline void ResetCard() {
  if (chdir("/") != 0) std::perror("chdir /");
  nftw(kTestCard, OpenCardEntry, 16, FTW_PHYS);
  nftw(kTestCard, RemoveCardEntry, 16, FTW_DEPTH | FTW_PHYS);
  mkdir("/mnt", 0755);
  mkdir(kTestCard, 0755);
}

// `name` is relative to the card; false when it could not be made.
inline bool MakeCardFolder(const std::string& name) {
  return mkdir((std::string(kTestCard) + "/" + name).c_str(), 0755) == 0;
}
inline bool MakeCardFile(const std::string& name, const std::string& content = "") {
  const int fd = open((std::string(kTestCard) + "/" + name).c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
  if (fd < 0) return false;
  const bool written = write(fd, content.data(), content.size()) == static_cast<ssize_t>(content.size());
  return close(fd) == 0 && written;
}
