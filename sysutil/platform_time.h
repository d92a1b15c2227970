#pragma once
// The process's clocks and sleeps: one seam for every wait of the program
// (the event loop's pass, a button's flash, the message layer's polls), the
// monotonic clock, the time of day and the local calendar time. Tests install
// a fake clock that advances when the program sleeps.

#include <cstdint>
#include <ctime>

class MPlatformTime {
 public:
  virtual void Sleep(uint32_t microseconds) = 0;
  // Microseconds of a clock that never goes back (its origin is arbitrary).
  virtual int64_t MonotonicMicroseconds() = 0;
  // Microseconds since the epoch, as the time of day reports them.
  virtual int64_t WallMicroseconds() = 0;
  // The local calendar time of `seconds` since the epoch; false when it has none.
  virtual bool LocalTime(int64_t seconds, struct tm* out) = 0;
  virtual ~MPlatformTime() = default;
};

// The installed clock: the system's unless a test put its own in place.
MPlatformTime& PlatformTime();
// Puts `time` in place (not owned; null restores the system's).
void SetPlatformTimeForTesting(MPlatformTime* time);

// Shorthands for the installed clock.
inline void SleepMicroseconds(uint32_t microseconds) { PlatformTime().Sleep(microseconds); }
inline int64_t MonotonicMicroseconds() { return PlatformTime().MonotonicMicroseconds(); }
inline int64_t WallMicroseconds() { return PlatformTime().WallMicroseconds(); }
// The local calendar time now; false when the clock has none.
bool LocalTimeNow(struct tm* out);
