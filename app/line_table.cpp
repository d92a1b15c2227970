#include "app/line_table.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

void LineTableOutOfRange() {
  std::fputs("vector [] access out of range\n", stderr);
  std::abort();
}

void CLineTable::Clear() {
  Bytes().swap(buffer);
  Bytes().swap(replaced);
  std::vector<Entry>().swap(entries);
  deadReplacedBytes = 0;
}

void CLineTable::Adopt(Bytes&& bytes, uint32_t lines) {
  Clear();
  buffer = std::move(bytes);
  entries.reserve(lines);
}

void CLineTable::AppendInPlace(uint32_t offset, uint32_t length) {
  if (uint64_t{offset} + length >= buffer.size()) LineTableOutOfRange();
  buffer[offset + length] = '\0';
  entries.push_back(Entry{offset, length});
}

void CLineTable::Reserve(uint32_t lines, uint64_t bytes) {
  entries.reserve(entries.size() + lines);
  buffer.reserve(static_cast<size_t>(buffer.size() + bytes + lines));
}

void CLineTable::Append(const char* text) { Append(text, static_cast<uint32_t>(std::strlen(text))); }

void CLineTable::Append(const char* text, uint32_t length) {
  const uint32_t offset = static_cast<uint32_t>(buffer.size());
  buffer.insert(buffer.end(), text, text + length);
  buffer.push_back('\0');
  entries.push_back(Entry{offset, length});
}

void CLineTable::CheckIndex(uint32_t index) const {
  if (index >= entries.size()) LineTableOutOfRange();
}

const char* CLineTable::Text(uint32_t index) const {
  CheckIndex(index);
  return At(entries[index]);
}

uint32_t CLineTable::Length(uint32_t index) const {
  CheckIndex(index);
  return entries[index].length;
}

void CLineTable::Replace(uint32_t index, const char* text, uint32_t length) {
  CheckIndex(index);
  Entry& e = entries[index];
  char* old = At(e);
  if (length <= e.length) {
    // memmove: the text may be this very line (a cancelled edit).
    std::memmove(old, text, length);
    old[length] = '\0';
    if ((e.offset & kReplacedBit) != 0) deadReplacedBytes += e.length - length;
    e.length = length;
    return;
  }
  // The text may point into the buffer of replaced lines, which can move.
  Bytes copy(text, text + length);
  if ((e.offset & kReplacedBit) != 0) deadReplacedBytes += e.length + 1;
  e.offset = static_cast<uint32_t>(replaced.size()) | kReplacedBit;
  e.length = length;
  replaced.insert(replaced.end(), copy.begin(), copy.end());
  replaced.push_back('\0');
  if (deadReplacedBytes > replaced.size() / 2) CompactReplaced();
}

void CLineTable::CompactReplaced() {
  Bytes packed;
  packed.reserve(replaced.size() - deadReplacedBytes);
  for (Entry& e : entries) {
    if ((e.offset & kReplacedBit) == 0) continue;
    const char* from = At(e);
    const uint32_t offset = static_cast<uint32_t>(packed.size());
    packed.insert(packed.end(), from, from + e.length + 1);
    e.offset = offset | kReplacedBit;
  }
  replaced.swap(packed);
  deadReplacedBytes = 0;
}
