#pragma once
// A clock for tests: installed while it lives, it advances only when the
// program sleeps (or the test says so), so that thousands of event-loop
// passes take no time and a test can assert how long the program would have
// slept. Its local time is the UTC calendar of its wall clock, whatever the
// host's time zone.

#include <cstdint>
#include <ctime>
#include <functional>

#include "sysutil/platform_time.h"

class CFakeClock final : public MPlatformTime {
 public:
  // 2026-12-11 22:40:30 UTC.
  static constexpr int64_t kDefaultWallSeconds = 1797028830;

  explicit CFakeClock(int64_t wallSeconds = kDefaultWallSeconds) : iWallBase(wallSeconds * 1000000) {
    SetPlatformTimeForTesting(this);
  }
  ~CFakeClock() override { SetPlatformTimeForTesting(nullptr); }
  CFakeClock(const CFakeClock&) = delete;
  CFakeClock& operator=(const CFakeClock&) = delete;

  void Sleep(uint32_t microseconds) override {
    iNow += microseconds;
    iSlept += microseconds;
    ++iSleeps;
    if (onSleep) onSleep();
  }
  int64_t MonotonicMicroseconds() override { return iNow; }
  int64_t WallMicroseconds() override { return iWallBase + iNow; }
  bool LocalTime(int64_t seconds, struct tm* out) override {
    time_t t = static_cast<time_t>(seconds);
    return gmtime_r(&t, out) != nullptr;
  }

  // Time passing without a sleep of the program's.
  void Advance(int64_t microseconds) { iNow += microseconds; }
  // The wall clock jumps (the user sets the date); the monotonic clock does not.
  void SetWallSeconds(int64_t seconds) { iWallBase = seconds * 1000000 - iNow; }

  int64_t SleptMicroseconds() const { return iSlept; }
  int64_t Sleeps() const { return iSleeps; }

  // Called after each sleep of the program: what the world does meanwhile.
  std::function<void()> onSleep;

 private:
  int64_t iWallBase;
  int64_t iNow = 0;
  int64_t iSlept = 0;
  int64_t iSleeps = 0;
};
