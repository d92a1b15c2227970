// CBoundedString's file-system operations (declared with the string type).
#include "sysutil/bounded_string.h"
#include "sysutil/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The system calls need a NUL-terminated path; the string itself may be a
// view over a literal or over part of another string, so it is copied. A path
// that does not fit, or holds a NUL, is refused (ENAMETOOLONG, EINVAL) rather
// than cut: a cut path could name another file.
class CPathArgument {
 public:
  explicit CPathArgument(const CBoundedString& path) {
    iText[0] = 0;
    if (path.Length() > kPathCapacity) {
      errno = ENAMETOOLONG;
    } else if (std::memchr(path.Data(), 0, static_cast<size_t>(path.Length())) != nullptr) {
      errno = EINVAL;
    } else {
      path.CopyOut(iText, sizeof(iText));
      iOk = true;
    }
  }
  bool Ok() const { return iOk; }
  const char* Get() const { return iText; }

 private:
  char iText[kPathCapacity + 1];
  bool iOk = false;
};

int TestPath(const CBoundedString& path, bool wantDirectory) {
  CPathArgument p(path);
  struct stat st;
  if (!p.Ok() || stat(p.Get(), &st) != 0) return 0;
  if (wantDirectory ? !S_ISDIR(st.st_mode) : !S_ISREG(st.st_mode)) return 0;
  return access(p.Get(), R_OK) == 0 ? 1 : 0;
}

}  // namespace

int CBoundedString::IsDirectory() const { return TestPath(*this, true); }
int CBoundedString::IsFile() const { return TestPath(*this, false); }

int CBoundedString::MakeDirectory() const {
  CPathArgument p(*this);
  return p.Ok() && mkdir(p.Get(), 0755) == 0 ? 0 : -1;
}

int CBoundedString::RemoveDirectory() const {
  CPathArgument p(*this);
  return p.Ok() && rmdir(p.Get()) == 0 ? 0 : -1;
}

int CBoundedString::Remove() const {
  CPathArgument p(*this);
  return p.Ok() && unlink(p.Get()) == 0 ? 0 : -1;
}

int CBoundedString::Rename(const CBoundedString& to) const {
  CPathArgument from(*this);
  CPathArgument target(to);
  return from.Ok() && target.Ok() && std::rename(from.Get(), target.Get()) == 0 ? 0 : -1;
}

int CBoundedString::CopyFile(const CBoundedString& to) const {
  constexpr size_t kBlock = 65536;
  char* buffer = static_cast<char*>(std::malloc(kBlock));
  if (buffer == nullptr) return -2;
  CPathArgument from(*this);
  CPathArgument target(to);
  int result = -1;
  int out = -1;
  // Neither end may wait: the source is a regular file, and a FIFO in the
  // target's place (no reader) fails at once instead of blocking the open.
  int in = from.Ok() && target.Ok() ? OpenRegularFile(from.Get()) : -1;
  if (in < 0) in = -1;
  struct stat st;
  struct stat existing;
  if (in >= 0 && fstat(in, &st) == 0) {
    // Copying a file onto itself would truncate it before the first read.
    bool same = stat(target.Get(), &existing) == 0 && existing.st_dev == st.st_dev &&
                existing.st_ino == st.st_ino;
    if (!same) out = open(target.Get(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC, st.st_mode & 07777);
    struct stat made;
    if (out >= 0 && (fstat(out, &made) != 0 || !S_ISREG(made.st_mode))) {
      close(out);
      out = -1;
    }
  }
  if (out >= 0) {
    for (;;) {
      ssize_t got = read(in, buffer, kBlock);
      if (got == 0) {
        result = 0;
        break;
      }
      if (got < 0) break;
      ssize_t put = write(out, buffer, static_cast<size_t>(got));
      if (put < got) break;
    }
    close(out);
  }
  if (in >= 0) close(in);
  std::free(buffer);
  return result;
}

int32_t CBoundedString::FreeSpaceKiB() const {
  CPathArgument p(*this);
  struct statfs fs;
  if (!p.Ok() || statfs(p.Get(), &fs) != 0) return 0;
  uint64_t kib = static_cast<uint64_t>(fs.f_bfree) * static_cast<uint64_t>(fs.f_bsize) / 1024u;
  // More than 2 TiB free does not fit the result: report the most it can say.
  return kib > static_cast<uint64_t>(INT32_MAX) ? INT32_MAX : static_cast<int32_t>(kib);
}
