#include "app/debug_log.h"

#include <cstdio>
#include <cstring>

namespace {
constexpr const char* kDebugLogPath = "/mnt/sdcard/debug.txt";
FILE* gLog = nullptr;
bool gLogOpen = false;
}  // namespace

void DebugLogOpen() {
  gLogOpen = true;
  if (gLog == nullptr) gLog = std::fopen(kDebugLogPath, "ab");
  gLogOpen = gLog != nullptr;
}

void DebugLog(const char* text) { DebugLog(text, static_cast<uint32_t>(std::strlen(text))); }

void DebugLog(const char* text, uint32_t length) {
  if (!gLogOpen) return;
  std::fwrite(text, 1, length, gLog);
  std::fputc('\n', gLog);
  std::fflush(gLog);
}

void DebugLogClose() {
  if (!gLogOpen) return;
  std::fflush(gLog);
  std::fclose(gLog);
  gLog = nullptr;
  gLogOpen = false;
}

bool DebugLogIsOpen() { return gLogOpen; }
