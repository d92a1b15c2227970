#pragma once
// Whole numbers in the emulator's options and scenarios: decimal, nothing
// after them, within a range.

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <string>

inline bool ParseWholeNumber(const std::string& word, long low, long high, int32_t& out) {
  if (word.empty() || word.size() > 12) return false;
  errno = 0;
  char* end = nullptr;
  const long v = std::strtol(word.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || v < low || v > high) return false;
  out = static_cast<int32_t>(v);
  return true;
}
