// The whole program on a small card, driven by scripted taps: the
// allocations of each event-loop pass while a screen stands idle (the
// directory, file and edit-line screens), counted by a replaced global
// allocator. Runs in the device sandbox (device_sandbox.h).
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <new>
#include <string>

#include "app/application.h"
#include "app/directory_screen.h"
#include "app/edit_line_screen.h"
#include "app/file_screen.h"
#include "app/globals.h"
#include "bench/allocation_counter.h"
#include "bench/device_sandbox.h"
#include "device/device_seams.h"
#include "device/memory_frame_buffer.h"
#include "sysutil/platform_time.h"
#include "tests/support/scripted_input.h"
#include "ui/event_loop.h"
#include "ui/list_box.h"


namespace {

constexpr int kIdlePasses = 200;

void WriteFile(const char* path, const char* content) {
  FILE* f = std::fopen(path, "wb");
  if (f == nullptr) return;
  std::fputs(content, f);
  std::fclose(f);
}

// A clock that sleeps no time: after each pass it plays the next step of
// the script, counting the allocations of the idle passes on each screen.
class CScriptClock final : public MPlatformTime {
 public:
  void Sleep(uint32_t microseconds) override {
    now += microseconds;
    if (onPass) onPass();
  }
  int64_t MonotonicMicroseconds() override { return now; }
  int64_t WallMicroseconds() override { return now; }
  bool LocalTime(int64_t seconds, struct tm* out) override {
    time_t t = static_cast<time_t>(seconds);
    return gmtime_r(&t, out) != nullptr;
  }
  std::function<void()> onPass;
  int64_t now = 0;
};

void Tap(CScriptedInputReader& input, int32_t x, int32_t y) {
  input.Touch(x, y, 1);
  input.Touch(x, y, 0);
  input.NoTouch();
}

// A tap on row `row` of a list; rows are as tall as the first item.
void TapRow(CScriptedInputReader& input, CUIListBox* list, int32_t row) {
  const int32_t h = list->GetItemHeight(0);
  Tap(input, list->rect.x + 20, list->rect.y + row * h + h / 2);
}

}  // namespace

int main(int argc, char** argv) {
  EnterDeviceSandbox(argc, argv);
  mkdir("/mnt/sdcard", 0755);
  mkdir("/mnt/sdcard/kestrel", 0755);
  WriteFile("/mnt/sdcard/kestrel/config.txt", "note");
  WriteFile("/mnt/sdcard/notes.txt", "alpha\nbeta\ngamma\n");

  CMemoryFrameBuffer display(320, 240);
  CScriptedInputReader input;
  SetFrameBufferForTesting(&display);
  SetInputReaderForTesting(&input);
  SetModelIdForTesting(7);
  SetActivePidForTesting(static_cast<int32_t>(getpid()));
  CScriptClock clock;
  SetPlatformTimeForTesting(&clock);

  // Each phase: the screen to stand idle on, then the taps that leave it.
  struct Phase {
    const char* name;
    std::function<MUIWidget*()> screen;
    std::function<void()> leave;
  };
  const Phase phases[] = {
      {"dir", [] { return static_cast<MUIWidget*>(p_dir_screen); },
       [&] {
         TapRow(input, p_dir_screen->List(), 1);  // notes.txt, below the parent entry
         Tap(input, 80, 214);                     // Open
       }},
      {"file", [] { return static_cast<MUIWidget*>(p_file_screen); },
       [&] {
         TapRow(input, p_file_screen->List(), 0);  // alpha
         Tap(input, 41, 215);                      // Edit
       }},
      {"edit", [] { return static_cast<MUIWidget*>(p_edit_screen); }, [&] { Tap(input, 238, 215); }},
  };
  long counts[3] = {-1, -1, -1};
  int phase = 0, idle = 0;
  long before = 0;
  clock.onPass = [&] {
    CUIEventLoop* loop = GetEventLoop();
    if (phase == 3) {
      status = -1;
      loop->quitRequested = true;
      return;
    }
    if (!input.touches.empty() || loop->GetScreen() != phases[phase].screen()) return;
    // Warm passes first: the screen's first draws and reads are behind it.
    if (idle == 10) before = gAllocations.load();
    if (++idle == 10 + kIdlePasses) {
      counts[phase] = gAllocations.load() - before;
      phases[phase].leave();
      ++phase;
      idle = 0;
    }
  };
  char name[] = "kestrel";
  char* args[] = {name, nullptr};
  KestrelMain(1, args);
  for (int i = 0; i < 3; ++i) {
    if (counts[i] < 0) {
      std::printf("the %s screen was never shown\n", phases[i].name);
      return 1;
    }
    std::printf("ratio idle_pass_allocations_%s %.3f\n", phases[i].name, double(counts[i]) / kIdlePasses);
  }
  return 0;
}
