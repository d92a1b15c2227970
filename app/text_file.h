#pragma once
// Text files as line tables: a line is the text between line feeds, without
// the line feed; any other byte (a carriage return, a NUL) stays in it.
// The end of the data is looked for before each line, not after it, so data
// ending with a line feed, or no data at all, gives one more, empty, line.
//
// A "text" file on the card may be a 2 GB video or an endless device, so a
// file is read as if it ended after its first kMaxFileBytes bytes, and at
// most kMaxFileLines lines are kept: 32 MiB and a million 8-byte entries
// keep a table below about 40 MiB, far above any real text file on the
// device, while only 50 lines are ever shown.

#include <cstddef>
#include <cstdint>

#include "app/line_table.h"

inline constexpr uint32_t kMaxFileBytes = 32u << 20;
inline constexpr uint32_t kMaxFileLines = 1u << 20;

enum class ELineRule : uint8_t {
  // A file's lines: every byte but the line feed.
  kKeepCarriageReturn,
  // The configuration's lines: a line holding a carriage return anywhere
  // loses its last byte (the carriage return of a CR LF ending).
  kCutAfterCarriageReturn
};

// Makes the first `length` bytes of `bytes` (no more than it holds, nor
// than kMaxFileBytes) the table's lines, split in place: the table takes the
// buffer, and the line feeds become the lines' NULs. `bytes` is given one
// spare byte past `length` for the last line's NUL (no copy when it already
// has it).
// At most `maxLines` lines are kept.
void SplitTextLines(CLineTable::Bytes&& bytes, uint32_t length, ELineRule rule, CLineTable& lines,
                    uint32_t maxLines = kMaxFileLines);

// One file read whole into a line table.
// The allocations a read asks for pass through this gate first: false means
// the memory cannot be had. By default it tries the allocation without
// throwing; tests put a gate in place that refuses.
using TextFileAllocationGate = bool (*)(size_t bytes);
void SetTextFileAllocationGateForTesting(TextFileAllocationGate gate);

class CTextFileReader {
 public:
  CTextFileReader() = default;
  ~CTextFileReader() { Close(); }
  CTextFileReader(const CTextFileReader&) = delete;
  CTextFileReader& operator=(const CTextFileReader&) = delete;

  // False, with nothing open, for anything but a readable regular file: a
  // missing path, a directory, a FIFO or a device (never waited on).
  bool Open(const char* path);
  // Replaces the table's lines with those of the open file's first
  // `maxBytes` bytes (at most kMaxFileBytes), at most `maxLines` of them;
  // no byte past `maxBytes` is read. The table gives its old memory back
  // before the new buffer is taken. A read that fails or would wait ends
  // the data there. A buffer that cannot be had leaves the table empty
  // (false); the process never stops for it.
  bool ReadLines(CLineTable& lines, ELineRule rule, uint32_t maxBytes = kMaxFileBytes,
                 uint32_t maxLines = kMaxFileLines);
  void Close();

 private:
  int fd = -1;
  // The size to read when the file tells it (a regular file that is not
  // empty); 0: read until the end, growing the buffer.
  uint64_t knownSize = 0;
};
