// Argument lines: built by Add from fuzzed pieces, or read in raw, then parsed.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "navlink/csv_arguments.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const uint8_t mode = data[0];
  const char separator = static_cast<char>(data[1]);
  data += 2;
  size -= 2;
  CCsvArguments list(separator);

  if (mode & 1) {
    // Raw line, as a message reader fills it: NULs and all.
    const int32_t capacity = static_cast<int32_t>(size % 4096) + 1;
    if (list.Reserve(capacity) != 1) abort();
    const size_t n = size < static_cast<size_t>(capacity) ? size : static_cast<size_t>(capacity);
    std::memcpy(list.Line(), data, n);
  } else {
    // NUL bytes split the input into arguments; a piece may repeat to grow long lines.
    size_t start = 0;
    for (size_t i = 0; i <= size; ++i) {
      if (i == size || data[i] == 0) {
        std::string piece(reinterpret_cast<const char*>(data) + start, i - start);
        const int repeat = (mode >> 1) & 7;
        std::string arg;
        for (int r = 0; r <= repeat; ++r) arg += piece;
        list.Add(arg.c_str());
        start = i + 1;
      }
    }
  }
  if (mode & 0x80) list.Parse();  // parsing twice must stay consistent
  list.Parse();

  const char* line = list.Line();
  const int32_t capacity = list.LineCapacity();
  for (int32_t i = 0; i < list.Count(); ++i) {
    const char* field = list.Get(i);
    if (!field || field < line || field >= line + capacity) abort();
    if (std::memchr(field, '\0', static_cast<size_t>(line + capacity - field)) == nullptr) abort();
  }
  if (list.Get(-1) || list.Get(list.Count())) abort();
  return 0;
}
