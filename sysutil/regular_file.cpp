#include "sysutil/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

int OpenRegularFile(const char* path) {
  if (path == nullptr) return kOpenFailed;
  const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return kOpenFailed;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return kNotRegularFile;
  }
  // Reads of a regular file never wait anyway; readers expect plain blocking
  // semantics (stdio, FreeType's stream).
  const int flags = fcntl(fd, F_GETFL);
  if (flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    close(fd);
    return kOpenFailed;
  }
  return fd;
}
