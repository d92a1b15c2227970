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
  std::vector<Entry>().swap(entries);
  deadBytes = 0;
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
  return buffer.data() + entries[index].offset;
}

uint32_t CLineTable::Length(uint32_t index) const {
  CheckIndex(index);
  return entries[index].length;
}

void CLineTable::Replace(uint32_t index, const char* text, uint32_t length) {
  CheckIndex(index);
  Entry& e = entries[index];
  char* old = buffer.data() + e.offset;
  if (length <= e.length) {
    // memmove: the text may be this very line (a cancelled edit).
    std::memmove(old, text, length);
    old[length] = '\0';
    deadBytes += e.length - length;
    e.length = length;
    return;
  }
  // The text may point into the buffer, which the append can move.
  Bytes copy(text, text + length);
  deadBytes += e.length + 1;
  e.offset = static_cast<uint32_t>(buffer.size());
  e.length = length;
  buffer.insert(buffer.end(), copy.begin(), copy.end());
  buffer.push_back('\0');
  if (deadBytes > buffer.size() / 2) Compact();
}

void CLineTable::Compact() {
  Bytes packed;
  packed.reserve(buffer.size() - deadBytes);
  for (Entry& e : entries) {
    const uint32_t offset = static_cast<uint32_t>(packed.size());
    packed.insert(packed.end(), buffer.begin() + static_cast<std::ptrdiff_t>(e.offset),
                  buffer.begin() + static_cast<std::ptrdiff_t>(e.offset + e.length + 1));
    e.offset = offset;
  }
  buffer.swap(packed);
  deadBytes = 0;
}
