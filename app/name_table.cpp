#include "app/name_table.h"

#include <algorithm>
#include <cstring>

#include "app/line_table.h"

namespace {
// Plain byte order; the shorter first when one is a prefix of the other.
bool Before(const char* a, const char* b) { return std::strcmp(a, b) < 0; }
}  // namespace

void CNameTable::Clear() {
  kept = 0;
  count = 0;
  hasPinned = false;
}

void CNameTable::AddPinned(const char* name) {
  ++count;
  const size_t length = std::min(std::strlen(name), size_t{kNameCapacity - 1});
  std::memcpy(pinned, name, length);
  pinned[length] = '\0';
  hasPinned = true;
}

uint32_t CNameTable::PinnedPlace() const {
  uint32_t place = 0;
  while (place < kept && Before(names[order[place]], pinned)) ++place;
  return place;
}

uint32_t CNameTable::Kept() const {
  if (!hasPinned) return kept;
  return PinnedPlace() < kKept ? std::min(kept + 1, kKept) : kKept + 1;
}

void CNameTable::Add(const char* name) { Add(name, static_cast<uint32_t>(std::strlen(name))); }

void CNameTable::Add(const char* name, uint32_t length) {
  ++count;
  if (length >= kNameCapacity) length = kNameCapacity - 1;
  char text[kNameCapacity];
  std::memcpy(text, name, length);
  text[length] = '\0';
  // A full table keeps the name only in place of its last one.
  uint8_t slot;
  if (kept < kKept) {
    slot = static_cast<uint8_t>(kept++);
  } else {
    if (!Before(text, names[order[kKept - 1]])) return;
    slot = order[kKept - 1];
  }
  std::memcpy(names[slot], text, length + 1);
  // Insertion into the order, from its end: a folder listed in reverse order
  // moves 48 small indexes per name, never the names themselves.
  uint32_t i = kept - 1;
  while (i > 0 && Before(text, names[order[i - 1]])) {
    order[i] = order[i - 1];
    --i;
  }
  order[i] = slot;
}

const char* CNameTable::At(uint32_t index) const {
  if (index >= Kept()) LineTableOutOfRange();
  if (!hasPinned) return names[order[index]];
  const uint32_t place = std::min(PinnedPlace(), kKept);
  // Past the first kKept names the pinned one is moved to the front.
  const uint32_t at = place == kKept ? 0 : place;
  if (index == at) return pinned;
  return names[order[index < at ? index : index - 1]];
}
