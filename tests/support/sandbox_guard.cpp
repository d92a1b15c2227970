#include "tests/support/sandbox_guard.h"

#include <cstdlib>
#include <cstring>

bool InDeviceSandbox() {
  const char* v = std::getenv("KESTREL_SANDBOX");
  return v != nullptr && std::strcmp(v, "1") == 0;
}
