#pragma once
// CLineTable: an ordered list of byte strings kept compactly, one buffer and
// one small entry per line (its offset and length), never a heap object per
// line. Each line is stored with a NUL after it, so Text() is also a C
// string (cut at the line's first NUL byte, as a list row shows it).
//
// Indexing is bounds-tested: an index that is not below Size() stops the
// process with "vector [] access out of range"; callers test their indexes.

#include <cstdint>
#include <vector>

class CLineTable {
 public:
  uint32_t Size() const { return static_cast<uint32_t>(entries.size()); }
  bool Empty() const { return entries.empty(); }
  void Clear();
  // Room for `lines` more lines of `bytes` bytes in all, so that loading a
  // file of known size grows the table once.
  void Reserve(uint32_t lines, uint64_t bytes);
  void Append(const char* text, uint32_t length);
  void Append(const char* text);
  // Element `index` becomes the text. A text no longer than the old one is
  // written in place; a longer one goes to the buffer's end, and the buffer
  // is compacted when replaced lines take more than half of it.
  void Replace(uint32_t index, const char* text, uint32_t length);
  // The line's bytes and their number.
  const char* Text(uint32_t index) const;
  uint32_t Length(uint32_t index) const;
  // Bytes of the buffer, dead ones of replaced lines included.
  uint64_t BufferBytes() const { return buffer.size(); }

 private:
  // The tables' caps keep the buffer far below 4 GiB.
  struct Entry {
    uint32_t offset;
    uint32_t length;
  };
  void CheckIndex(uint32_t index) const;
  void Compact();

  std::vector<char> buffer;
  std::vector<Entry> entries;
  uint32_t deadBytes = 0;
};

// Stops the process with the string lists' bounds message.
[[noreturn]] void LineTableOutOfRange();
