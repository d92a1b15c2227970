#include "sysutil/platform_time.h"

#include <sys/time.h>
#include <unistd.h>

#include <cerrno>

namespace {

class CSystemTime final : public MPlatformTime {
 public:
  void Sleep(uint32_t microseconds) override {
    timespec left{static_cast<time_t>(microseconds / 1000000), static_cast<long>(microseconds % 1000000) * 1000};
    // A signal cuts the sleep short; the rest is still owed.
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
  }
  int64_t MonotonicMicroseconds() override {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<int64_t>(t.tv_sec) * 1000000 + t.tv_nsec / 1000;
  }
  int64_t WallMicroseconds() override {
    timeval tv{};
    gettimeofday(&tv, nullptr);
    return static_cast<int64_t>(tv.tv_sec) * 1000000 + tv.tv_usec;
  }
  bool LocalTime(int64_t seconds, struct tm* out) override {
    time_t t = static_cast<time_t>(seconds);
    if (static_cast<int64_t>(t) != seconds) return false;  // past a 32-bit time_t
    return localtime_r(&t, out) != nullptr;
  }
};

CSystemTime gSystemTime;
MPlatformTime* gTime = &gSystemTime;

// Floor division, so that a clock before the epoch still gives whole seconds below it.
int64_t FloorSeconds(int64_t microseconds) {
  int64_t s = microseconds / 1000000;
  return microseconds % 1000000 < 0 ? s - 1 : s;
}

}  // namespace

MPlatformTime& PlatformTime() { return *gTime; }

void SetPlatformTimeForTesting(MPlatformTime* time) { gTime = time != nullptr ? time : &gSystemTime; }

bool LocalTimeNow(struct tm* out) { return gTime->LocalTime(FloorSeconds(gTime->WallMicroseconds()), out); }
