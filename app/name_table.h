#pragma once
// CNameTable: the names a directory screen lists, in plain byte order (the
// shorter first when one is a prefix of the other). Only the first kKept
// names in that order are ever shown, so only they are kept, in a fixed
// table; the table still counts every name it was offered, so that a folder
// of a million names costs no more memory than one of fifty.

#include <cstdint>

class CNameTable {
 public:
  // The names a directory screen shows.
  static constexpr uint32_t kKept = 48;
  // A file name's longest form (255 bytes) and its NUL; longer texts are cut.
  static constexpr uint32_t kNameCapacity = 256;

  void Clear();
  // Offers a name; it is kept while it is among the first kKept so far.
  void Add(const char* name, uint32_t length);
  void Add(const char* name);
  // Offers the one name that must always be listed (the way back to the
  // parent folder): it keeps its byte-order place when that place is among
  // the first kKept, and otherwise comes first, before the first kKept names.
  // So a folder of many names sorting before it still has a way out.
  void AddPinned(const char* name);
  // Names offered since Clear.
  uint64_t Count() const { return count; }
  // Names kept: Count() up to kKept, and one more when the pinned name
  // comes first.
  uint32_t Kept() const;
  // The kept name at `index` in byte order, the pinned one in its place. An index not below Kept() stops
  // the process with "vector [] access out of range".
  const char* At(uint32_t index) const;

 private:
  char names[kKept][kNameCapacity] = {};
  // order[i]: the slot of the i-th name in byte order.
  uint8_t order[kKept] = {};
  uint32_t kept = 0;
  uint64_t count = 0;
  char pinned[kNameCapacity] = {};
  bool hasPinned = false;

  // The kept names that sort before the pinned one.
  uint32_t PinnedPlace() const;
};
