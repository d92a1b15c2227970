// ParseInteger on untrusted text: the characters are exactly the input (not
// NUL-terminated), so ASan sees any read past the length.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "sysutil/bounded_string.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 4096) return 0;
  const int32_t length = static_cast<int32_t>(size);
  std::unique_ptr<char[]> chars(new char[size ? size : 1]);
  if (size) std::memcpy(chars.get(), data, size);
  CBoundedString text(chars.get(), length, length);

  int32_t end = -1;
  const int32_t value = text.ParseInteger(&end);
  if (end < 0 || end > length) abort();
  // What follows the number changes nothing.
  int32_t endAgain = -1;
  if (text.Left(end).ParseInteger(&endAgain) != value || endAgain != end) abort();
  // A digit right after the number would have been part of it.
  if (end < length && chars[end] >= '0' && chars[end] <= '9') abort();
  return 0;
}
