#pragma once
// CLineTable: an ordered list of byte strings kept compactly, one buffer and
// one small entry per line (its offset and length), never a heap object per
// line. Each line is stored with a NUL after it, so Text() is also a C
// string (cut at the line's first NUL byte, as a list row shows it).
//
// Indexing is bounds-tested: an index that is not below Size() stops the
// process with "vector [] access out of range"; callers test their indexes.

#include <cstdint>
#include <memory>
#include <new>
#include <utility>
#include <vector>

// A byte allocator whose resize leaves the new bytes as they are: a file's
// bytes are read over them at once, so zeroing megabytes first would only
// cost time.
template <class T>
struct CUninitialisedAllocator : std::allocator<T> {
  template <class U>
  struct rebind {
    using other = CUninitialisedAllocator<U>;
  };
  CUninitialisedAllocator() = default;
  template <class U>
  CUninitialisedAllocator(const CUninitialisedAllocator<U>&) noexcept {}  // NOLINT: allocators convert implicitly
  template <class U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;
  }
  template <class U, class... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
};

class CLineTable {
 public:
  using Bytes = std::vector<char, CUninitialisedAllocator<char>>;

  uint32_t Size() const { return static_cast<uint32_t>(entries.size()); }
  bool Empty() const { return entries.empty(); }
  // Drops every line and gives the memory back.
  void Clear();
  // Room for `lines` more lines of `bytes` bytes in all, so that loading a
  // file of known size grows the table once.
  void Reserve(uint32_t lines, uint64_t bytes);
  void Append(const char* text, uint32_t length);
  void Append(const char* text);
  // Drops every line and takes `bytes` as the buffer, with room for `lines`
  // entries: a file read whole becomes the table without a copy, its lines
  // then marked in it by AppendInPlace.
  void Adopt(Bytes&& bytes, uint32_t lines);
  // Appends the `length` bytes at `offset` of the buffer as a line, writing
  // its NUL over the byte after it (a line feed, or a spare byte at the end).
  void AppendInPlace(uint32_t offset, uint32_t length);
  // Element `index` becomes the text. A text no longer than the old one is
  // written in place; a longer one goes to a second, small buffer of
  // replaced lines (the file's own buffer is never grown or copied for an
  // edit), which is compacted when dead text takes more than half of it.
  void Replace(uint32_t index, const char* text, uint32_t length);
  // The line's bytes and their number.
  const char* Text(uint32_t index) const;
  uint32_t Length(uint32_t index) const;
  // Bytes of both buffers, dead ones of replaced lines included.
  uint64_t BufferBytes() const { return buffer.size() + replaced.size(); }

 private:
  // The tables' caps keep each buffer far below 2 GiB; the top bit of an
  // offset says the line lies in the buffer of replaced lines.
  static constexpr uint32_t kReplacedBit = 0x80000000u;
  struct Entry {
    uint32_t offset;
    uint32_t length;
  };
  void CheckIndex(uint32_t index) const;
  const char* At(const Entry& e) const {
    return (e.offset & kReplacedBit) != 0 ? replaced.data() + (e.offset & ~kReplacedBit) : buffer.data() + e.offset;
  }
  char* At(const Entry& e) { return const_cast<char*>(static_cast<const CLineTable*>(this)->At(e)); }
  void CompactReplaced();

  Bytes buffer;
  Bytes replaced;
  std::vector<Entry> entries;
  uint32_t deadReplacedBytes = 0;
};

// Stops the process with the string lists' bounds message.
[[noreturn]] void LineTableOutOfRange();
