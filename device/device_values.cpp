#include "device/device_values.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "device/device_seams.h"

namespace {
constexpr int32_t kUnread = -1;
constexpr int32_t kDefaultModel = 7;
int32_t gModelId = kUnread;

// One decimal integer after optional white space, as "%d" reads it (any
// number of digits), but an out-of-range number is refused rather than left
// to the C library.
bool ReadInteger(FILE* f, int32_t& value) {
  int c = std::fgetc(f);
  while (c != EOF && std::isspace(c)) c = std::fgetc(f);
  const bool negative = c == '-';
  if (c == '-' || c == '+') c = std::fgetc(f);
  if (c == EOF || !std::isdigit(c)) return false;
  // Past both ends of the range once the sign is applied.
  const int64_t pastRange = int64_t{INT32_MAX} + 2;
  int64_t v = 0;
  for (; c != EOF && std::isdigit(c); c = std::fgetc(f)) v = std::min(v * 10 + (c - '0'), pastRange);
  if (negative) v = -v;
  if (v < INT32_MIN || v > INT32_MAX) return false;
  value = static_cast<int32_t>(v);
  return true;
}
}  // namespace

bool GetProcInt(const char* name, int32_t& value) {
  char path[128];
  std::snprintf(path, sizeof path, "/proc/corvina/%s", name);
  FILE* f = std::fopen(path, "r");
  if (f == nullptr) {
    std::printf("%s: Unable to open %s: %s\n", "GetProcInt", path, std::strerror(errno));
    return false;
  }
  bool ok = ReadInteger(f, value);
  std::fclose(f);
  if (!ok) std::printf("%s: Unable to read value from %s\n", "GetProcInt", path);
  return ok;
}

int32_t GetModelId() {
  if (gModelId != kUnread) return gModelId;
  // A file holding -1 leaves the cache unread, so it is read again next time.
  if (!GetProcInt("modelid", gModelId)) gModelId = kDefaultModel;
  return gModelId;
}

void SetModelIdForTesting(int32_t model) { gModelId = model; }

void device_reset::ModelId() { gModelId = kUnread; }
