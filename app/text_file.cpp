#include "app/text_file.h"

#include "sysutil/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

namespace {
// The first buffer for data of unknown size (a device, a FIFO); it doubles
// up to the cap.
constexpr uint32_t kFirstChunk = 64u << 10;

// Whether `bytes` can be allocated now. The program is built without
// exceptions, so a container's failed allocation would stop it: the buffer
// is tried first, without throwing, and a read that cannot have it ends
// with an empty table instead.
bool TryAllocation(size_t bytes) {
  void* p = ::operator new(bytes, std::nothrow);
  ::operator delete(p);
  return p != nullptr;
}

TextFileAllocationGate gAllocationGate = TryAllocation;
}  // namespace

void SetTextFileAllocationGateForTesting(TextFileAllocationGate gate) {
  gAllocationGate = gate != nullptr ? gate : TryAllocation;
}

void SplitTextLines(CLineTable::Bytes&& bytes, uint32_t length, ELineRule rule, CLineTable& lines,
                    uint32_t maxLines) {
  maxLines = std::min(maxLines, kMaxFileLines);
  length = static_cast<uint32_t>(std::min<uint64_t>({length, bytes.size(), kMaxFileBytes}));
  bytes.resize(size_t{length} + 1);
  // The storage moves into the table as it is, so this stays valid.
  const char* data = bytes.data();
  // No more lines than bytes plus one: the entries are reserved once, and
  // what is reserved but never written costs no memory.
  lines.Adopt(std::move(bytes), std::min(maxLines, length + 1));
  uint32_t start = 0;
  while (lines.Size() < maxLines) {
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
  // Only a regular file: a FIFO or a device under a text file's name would
  // wait for a writer or never end.
  const int f = OpenRegularFile(path);
  if (f < 0) return false;
  struct stat st;
  if (fstat(f, &st) != 0) {
    close(f);
    return false;
  }
  fd = f;
  knownSize = st.st_size > 0 ? static_cast<uint64_t>(st.st_size) : 0;
  return true;
}

bool CTextFileReader::ReadLines(CLineTable& lines, ELineRule rule, uint32_t maxBytes, uint32_t maxLines) {
  maxBytes = std::min(maxBytes, kMaxFileBytes);
  maxLines = std::max<uint32_t>(std::min(maxLines, kMaxFileLines), 1);
  lines.Clear();
  // A file of known size fills its buffer exactly; the spare byte ends the
  // last line.
  uint32_t room = knownSize != 0 ? static_cast<uint32_t>(std::min<uint64_t>(knownSize, maxBytes))
                                 : std::min(kFirstChunk, maxBytes);
  // The buffer and the line entries: the table's whole cost.
  const size_t entryBytes = size_t{std::min(maxLines, room + 1)} * 2 * sizeof(uint32_t);
  if (!gAllocationGate(size_t{room} + 1) || !gAllocationGate(entryBytes)) return false;
  CLineTable::Bytes bytes(size_t{room} + 1);
  uint32_t got = 0;
  while (fd >= 0) {
    if (got == room) {
      if (knownSize != 0 || room == maxBytes) break;
      const uint32_t more = static_cast<uint32_t>(std::min<uint64_t>(uint64_t{room} * 2, maxBytes));
      // Without room to grow, the data read so far is what the file holds.
      if (!gAllocationGate(size_t{more} + 1)) break;
      room = more;
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
  SplitTextLines(std::move(bytes), got, rule, lines, maxLines);
  return true;
}

void CTextFileReader::Close() {
  if (fd >= 0) close(fd);
  fd = -1;
  knownSize = 0;
}
