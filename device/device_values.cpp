#include "device/device_values.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "device/device_seams.h"

namespace {
constexpr int32_t kUnread = -1;
constexpr int32_t kDefaultModel = 7;
int32_t gModelId = kUnread;

// One decimal integer after optional white space, as "%d" reads it, but an
// out-of-range number is refused rather than left to the C library.
bool ReadInteger(FILE* f, int32_t& value) {
  char digits[32];
  if (std::fscanf(f, " %31[-+0-9]", digits) != 1) return false;
  errno = 0;
  char* end = nullptr;
  long long v = std::strtoll(digits, &end, 10);
  if (end == digits || errno == ERANGE || v < INT32_MIN || v > INT32_MAX) return false;
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
