#include "app/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {
// The first buffer for data of unknown size (a device, a FIFO); it doubles
// up to the cap.
constexpr uint32_t kFirstChunk = 64u << 10;
}  // namespace

void SplitTextLines(CLineTable::Bytes&& bytes, uint32_t length, ELineRule rule, CLineTable& lines) {
  length = static_cast<uint32_t>(std::min<uint64_t>({length, bytes.size(), kMaxFileBytes}));
  bytes.resize(size_t{length} + 1);
  // The storage moves into the table as it is, so this stays valid.
  const char* data = bytes.data();
  // No more lines than bytes plus one: the entries are reserved once, and
  // what is reserved but never written costs no memory.
  lines.Adopt(std::move(bytes), std::min(kMaxFileLines, length + 1));
  uint32_t start = 0;
  while (lines.Size() < kMaxFileLines) {
    const void* feed = std::memchr(data + start, '\n', length - start);
    const uint32_t end = feed != nullptr ? static_cast<uint32_t>(static_cast<const char*>(feed) - data) : length;
    uint32_t size = end - start;
    if (rule == ELineRule::kCutAfterCarriageReturn && std::memchr(data + start, '\r', size) != nullptr) --size;
    lines.AppendInPlace(start, size);
    if (feed == nullptr) break;
    start = end + 1;
  }
}

bool CTextFileReader::Open(const char* path) {
  Close();
  // Without O_NONBLOCK the open of a FIFO would wait for a writer.
  const int f = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (f < 0) return false;
  struct stat st;
  if (fstat(f, &st) != 0 || S_ISDIR(st.st_mode)) {
    close(f);
    return false;
  }
  fd = f;
  knownSize = S_ISREG(st.st_mode) && st.st_size > 0 ? static_cast<uint64_t>(st.st_size) : 0;
  return true;
}

void CTextFileReader::ReadLines(CLineTable& lines, ELineRule rule, uint32_t maxBytes) {
  maxBytes = std::min(maxBytes, kMaxFileBytes);
  lines.Clear();
  // A file of known size fills its buffer exactly; the spare byte ends the
  // last line.
  uint32_t room = knownSize != 0 ? static_cast<uint32_t>(std::min<uint64_t>(knownSize, maxBytes))
                                 : std::min(kFirstChunk, maxBytes);
  CLineTable::Bytes bytes(size_t{room} + 1);
  uint32_t got = 0;
  while (fd >= 0) {
    if (got == room) {
      if (knownSize != 0 || room == maxBytes) break;
      room = static_cast<uint32_t>(std::min<uint64_t>(uint64_t{room} * 2, maxBytes));
      bytes.resize(size_t{room} + 1);
    }
    const ssize_t n = read(fd, bytes.data() + got, room - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<uint32_t>(n);
  }
  if (knownSize == 0) {
    bytes.resize(size_t{got} + 1);
    bytes.shrink_to_fit();
  }
  SplitTextLines(std::move(bytes), got, rule, lines);
}

void CTextFileReader::Close() {
  if (fd >= 0) close(fd);
  fd = -1;
  knownSize = 0;
}
