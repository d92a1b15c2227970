#include "app/capture.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "sysutil/platform_time.h"

namespace {
// The capture paths and the command are built in buffers of this size.
constexpr int kCommandBuffer = 64;
bool gCaptureEnabled = false;

// A folder name goes into a shell command: only plain name characters pass,
// so no folder can make the shell run something else.
bool PlainFolderName(const char* folder) {
  if (*folder == '\0') return false;
  for (const char* p = folder; *p != '\0'; ++p) {
    const char c = *p;
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '_' || c == '-' || (c == '.' && p != folder);
    if (!plain) return false;
  }
  return true;
}
}  // namespace

bool FileExists(const char* path) {
  // Non-blocking, so that a FIFO on the card cannot stall the program.
  const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  close(fd);
  return true;
}

void CaptureEnable(const char* folder) {
  char path[kCommandBuffer];
  const int n = std::snprintf(path, sizeof path, "/mnt/sdcard/%s/capture", folder);
  // A cut path names another file: captures stay off then.
  gCaptureEnabled = n > 0 && n < kCommandBuffer && FileExists(path);
}

ECaptureResult CaptureScreen(const char* folder) {
  struct tm now = {};
  const bool haveTime = LocalTimeNow(&now);
  if (!gCaptureEnabled) return ECaptureResult::kOff;
  // Without the time the capture has no name.
  if (!haveTime || !PlainFolderName(folder)) return ECaptureResult::kRefused;
  char command[kCommandBuffer];
  const int n = std::snprintf(command, sizeof command, "cat /dev/fb > /mnt/sdcard/%s/img%04d%02d%02d%02d%02d%02d.raw",
                              folder, now.tm_year + 1900, now.tm_mon + 1, now.tm_mday, now.tm_hour, now.tm_min,
                              now.tm_sec);
  // A cut command would write some other file.
  if (n <= 0 || n >= kCommandBuffer) return ECaptureResult::kRefused;
  const int ignored = std::system(command);
  (void)ignored;
  return ECaptureResult::kRan;
}

bool CaptureIsEnabled() { return gCaptureEnabled; }

void ResetCaptureForTesting() { gCaptureEnabled = false; }
