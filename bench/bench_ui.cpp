// A whole screen redrawn (a 320x240 background picture, a title and four
// buttons in DejaVu Sans, glyphs cached) against a memcpy of the screen's
// 153,600 bytes; a page turned on a 50-line list against a memcpy of the
// list's area; a character typed on the letters keyboard (which redraws its
// text line only) against a whole keyboard redraw, both inside a real edit;
// and the heap allocations of a redraw, of an idle pass of the event loop, of
// a typed character and of a page turn after warm-up, counted by a replaced global
// allocator.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "bench/ratio_reporter.h"
#include "device/device_seams.h"
#include "device/memory_frame_buffer.h"
#include "sysutil/platform_time.h"
#include "tests/support/find_key.h"
#include "ui/button.h"
#include "ui/event_loop.h"
#include "ui/keyboard.h"
#include "ui/label.h"
#include "ui/list_box.h"
#include "ui/screen.h"
#include "ui/skin.h"
#include "ui/ui_seams.h"
#include "bench/allocation_counter.h"


namespace {

constexpr uint32_t kWidth = 320, kHeight = 240;
constexpr const char* kDejaVuSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

void WriteFile(const std::string& path, const std::string& content) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return;
  std::fwrite(content.data(), 1, content.size(), f);
  std::fclose(f);
}

// A 24-bit 320x240 BMP with a soft pattern.
std::string BackgroundBmp() {
  const uint32_t stride = kWidth * 3, size = 54 + stride * kHeight;
  std::string out(54, '\0');
  auto put = [&out](size_t at, uint32_t v, int n) {
    for (int i = 0; i < n; ++i) out[at + i] = static_cast<char>(v >> (8 * i));
  };
  out[0] = 'B';
  out[1] = 'M';
  put(2, size, 4);
  put(10, 54, 4);
  put(14, 40, 4);
  put(18, kWidth, 4);
  put(22, kHeight, 4);
  put(26, 1, 2);
  put(28, 24, 2);
  for (uint32_t y = 0; y < kHeight; ++y)
    for (uint32_t x = 0; x < kWidth; ++x) {
      out.push_back(static_cast<char>(120 + y / 4));
      out.push_back(static_cast<char>(x / 2));
      out.push_back(static_cast<char>(40 + (x + y) / 8));
    }
  return out;
}

// A skin folder under /tmp with the background and DejaVu Sans for every font.
class CBenchSkin {
 public:
  CBenchSkin() {
    char tmpl[] = "/tmp/kestrel-bench-ui-XXXXXX";
    if (mkdtemp(tmpl) == nullptr) return;
    iFolder = tmpl;
    const std::string skin = iFolder + "/skin";
    mkdir(skin.c_str(), 0700);
    if (symlink(kDejaVuSans, (skin + "/DejaVuSans.ttf").c_str()) != 0) return;
    WriteFile(skin + "/ControlFont.txt", "DejaVuSans 16\n0 0 0\n");
    WriteFile(skin + "/ButtonFont.txt", "DejaVuSans 20\n");
    WriteFile(skin + "/BigFont.txt", "DejaVuSans 24\n");
    WriteFile(skin + "/Back.bmp", BackgroundBmp());
  }
  ~CBenchSkin() {
    if (iFolder.empty()) return;
    const std::string skin = iFolder + "/skin";
    for (const char* f : {"DejaVuSans.ttf", "ControlFont.txt", "ButtonFont.txt", "BigFont.txt", "Back.bmp"})
      unlink((skin + "/" + f).c_str());
    rmdir(skin.c_str());
    rmdir(iFolder.c_str());
  }
  const std::string& Folder() const { return iFolder; }

 private:
  std::string iFolder;
};

// Reads nothing; onFirstRead runs once, from the first touch read: a
// measurement inside a modal run of the event loop.
class CIdleInput final : public MInputReader {
 public:
  bool ReadTouch(InputEvent&) override {
    if (onFirstRead) {
      std::function<void()> run;
      run.swap(onFirstRead);
      run();
    }
    return false;
  }
  bool ReadKey(int32_t&) override { return false; }

  std::function<void()> onFirstRead;
};

// The system's clocks without the event loop's pause between passes.
class CNoSleepTime final : public MPlatformTime {
 public:
  CNoSleepTime() : iSystem(PlatformTime()) {}
  void Sleep(uint32_t) override {}
  int64_t MonotonicMicroseconds() override { return iSystem.MonotonicMicroseconds(); }
  int64_t WallMicroseconds() override { return iSystem.WallMicroseconds(); }
  bool LocalTime(int64_t seconds, struct tm* out) override { return iSystem.LocalTime(seconds, out); }

 private:
  MPlatformTime& iSystem;
};

// The measured screen, on a memory display, with the skin above.
class CBenchScreen {
 public:
  CBenchScreen() : iDisplay(kWidth, kHeight) {
    SetFrameBufferForTesting(&iDisplay);
    SetModelIdForTesting(7);
    SetActivePidForTesting(static_cast<int32_t>(getpid()));
    SetInputReaderForTesting(&iInput);
    SetPlatformTimeForTesting(&iTime);
    SetSkinFolder(iSkin.Folder().c_str());
    iScreen = new CUIScreen(2);
    auto* title = new CUILabel(UIRect(10, 8, 300, 24), "Memory card");
    iScreen->AddChild(title);
    const char* names[] = {"Open", "Back", "Edit", "Exit"};
    for (int i = 0; i < 4; ++i) {
      auto* b = new CUIButton(UIRect(10 + 76 * i, 196, 70, 34), names[i], nullptr);
      b->iTag = i + 1;
      iScreen->AddChild(b);
    }
    GetEventLoop()->SetScreen(iScreen);
    iScreen->Draw();  // fills the glyph cache
  }
  ~CBenchScreen() {
    GetEventLoop()->SetScreen(nullptr);
    delete iScreen;
    ResetUIForTesting();
    ResetDeviceForTesting();
    SetPlatformTimeForTesting(nullptr);
  }
  CUIScreen& Screen() { return *iScreen; }
  // A list of 50 lines between the title and the buttons, drawn once.
  CUIStringListBox& AddList() {
    auto* list = new CUIStringListBox(UIRect(kListX, kListY, kListWidth, kListHeight), "", nullptr);
    for (int i = 0; i < 50; ++i)
      list->AddItem(("line " + std::to_string(i) + ": the quick brown fox jumps over the lazy dog").c_str());
    list->ResetList();
    iScreen->AddChild(list);
    list->Draw();
    return *list;
  }
  static constexpr int32_t kListX = 4, kListY = 36, kListWidth = 312, kListHeight = 156;
  bool SkinReady() const { return !iSkin.Folder().empty(); }

  // Runs `measure` inside an edit of a 10-character text on the letters
  // keyboard (title, automatic capitals, the skin's background under the
  // text line), over this screen; the keyboard is left afterwards.
  void InKeyboard(const std::function<void(CUIKeyboardScreen&, char*)>& measure) {
    CUIKeyboardScreenImpl* keyboard = GetKeyboard();
    if (keyboard == nullptr) return;
    char text[CUIKeyboardScreen::kMaxTextLength + 1] = "Kestrel ab";
    iInput.onFirstRead = [&] {
      measure(*keyboard, text);
      keyboard->EndModal();
    };
    keyboard->EditText(text, "Name", CUIKeyboardScreen::kMaxTextLength, 0x2C0);
  }

 private:
  CBenchSkin iSkin;
  CMemoryFrameBuffer iDisplay;
  CIdleInput iInput;
  CNoSleepTime iTime;
  CUIScreen* iScreen = nullptr;
};

// The letter typed onto the 10-character text, which is cut back before each
// press outside the measured work (one store).
void TypeKey(CUIKeyboardScreen& keyboard, char* text, MUIWidget* key) {
  text[10] = '\0';
  keyboard.FiredPressEvent(key);
}

void BM_RedrawScreen(benchmark::State& state) {
  CBenchScreen bench;
  if (!bench.SkinReady()) {
    state.SkipWithError("no skin folder");
    return;
  }
  for (auto _ : state) {
    bench.Screen().Draw();
    benchmark::ClobberMemory();
  }
}

// One page down from the first page: the list's background, scroll buttons
// and a page of rows.
void TurnPage(CUIStringListBox& list) {
  list.page = 0;
  list.firstVisible = 0;
  list.PageDown();
}

void BM_ListPageDown(benchmark::State& state) {
  CBenchScreen bench;
  if (!bench.SkinReady()) {
    state.SkipWithError("no skin folder");
    return;
  }
  CUIStringListBox& list = bench.AddList();
  for (auto _ : state) {
    TurnPage(list);
    benchmark::ClobberMemory();
  }
}

void BM_KeyboardType(benchmark::State& state) {
  CBenchScreen bench;
  if (!bench.SkinReady()) {
    state.SkipWithError("no skin folder");
    return;
  }
  bench.InKeyboard([&state](CUIKeyboardScreen& keyboard, char* text) {
    MUIWidget* key = FindKey(&keyboard, "K");
    for (auto _ : state) {
      TypeKey(keyboard, text, key);
      benchmark::ClobberMemory();
    }
  });
}

void BM_KeyboardDraw(benchmark::State& state) {
  CBenchScreen bench;
  if (!bench.SkinReady()) {
    state.SkipWithError("no skin folder");
    return;
  }
  bench.InKeyboard([&state](CUIKeyboardScreen& keyboard, char*) {
    for (auto _ : state) {
      keyboard.Draw();
      benchmark::ClobberMemory();
    }
  });
}

constexpr int kRepeats = 7;
BENCHMARK(BM_Memcpy)->Args({kWidth, kHeight})->Repetitions(kRepeats)->ReportAggregatesOnly(true);
BENCHMARK(BM_RedrawScreen)->Repetitions(kRepeats)->ReportAggregatesOnly(true);
BENCHMARK(BM_Memcpy)
    ->Args({CBenchScreen::kListWidth, CBenchScreen::kListHeight})
    ->Repetitions(kRepeats)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ListPageDown)->Repetitions(kRepeats)->ReportAggregatesOnly(true);
BENCHMARK(BM_KeyboardType)->Repetitions(kRepeats)->ReportAggregatesOnly(true);
BENCHMARK(BM_KeyboardDraw)->Repetitions(kRepeats)->ReportAggregatesOnly(true);

// Allocations per redraw, idle pass, typed key and page turn, after one of each as warm-up.
void PrintAllocationFigures() {
  CBenchScreen bench;
  constexpr int kRounds = 100;
  CUIEventLoop* loop = GetEventLoop();
  loop->ProcessEvents();
  const long beforeRedraw = gAllocations.load();
  for (int i = 0; i < kRounds; ++i) bench.Screen().Draw();
  const long redraw = gAllocations.load() - beforeRedraw;
  const long beforeIdle = gAllocations.load();
  for (int i = 0; i < kRounds; ++i) loop->ProcessEvents();
  const long idle = gAllocations.load() - beforeIdle;
  long typed = 0;
  bench.InKeyboard([&typed](CUIKeyboardScreen& keyboard, char* text) {
    MUIWidget* key = FindKey(&keyboard, "K");
    TypeKey(keyboard, text, key);
    const long before = gAllocations.load();
    for (int i = 0; i < kRounds; ++i) TypeKey(keyboard, text, key);
    typed = gAllocations.load() - before;
  });
  CUIStringListBox& list = bench.AddList();
  TurnPage(list);
  const long beforePage = gAllocations.load();
  for (int i = 0; i < kRounds; ++i) TurnPage(list);
  const long pages = gAllocations.load() - beforePage;
  std::printf("ratio redraw_allocations %.3f\n", static_cast<double>(redraw) / kRounds);
  std::printf("ratio idle_pass_allocations %.3f\n", static_cast<double>(idle) / kRounds);
  std::printf("ratio typed_key_allocations %.3f\n", static_cast<double>(typed) / kRounds);
  std::printf("ratio page_down_allocations %.3f\n", static_cast<double>(pages) / kRounds);
}

}  // namespace

int main(int argc, char** argv) {
  const int status = RunBenchmarksWithRatios(
      argc, argv,
      {{"redraw_screen_vs_memcpy", "BM_RedrawScreen", "BM_Memcpy/320/240"},
       {"list_page_down_vs_memcpy", "BM_ListPageDown", "BM_Memcpy/312/156"},
       {"keyboard_type_vs_draw", "BM_KeyboardType", "BM_KeyboardDraw"}},
      kRepeats);
  PrintAllocationFigures();
  return status;
}
