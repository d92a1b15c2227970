#pragma once
// The whole application in the device sandbox: a card made under
// /mnt/sdcard, the program's entry run on it with scripted taps and keys, a
// fake clock whose every sleep ends a pass, and the debug log read back.
// Every pass and every flush is marked in the log ("-- pass", "-- flush"
// with a hash of the shadow screen), so that a test sees each trace line in
// its pass and the pictures between them.
//
// A script is a list of steps (Then), each run between two passes once the
// taps of the steps before it are played and a screen is shown (the state
// machine rests in one of its active states). It ends the run once it is played: after `kSettlePasses` idle
// passes the state machine is stopped (status -1, which it ignores) and
// each level of the loop is ended in turn, so KestrelMain returns.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/app_seams.h"
#include "app/application.h"
#include "app/debug_log.h"
#include "app/globals.h"
#include "tests/support/fake_clock.h"
#include "tests/support/recording_screen.h"
#include "tests/support/sandbox_guard.h"
#include "tests/support/scripted_input.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_environment.h"
#include "ui/event_loop.h"
#include "ui/list_box.h"
#include "ui/widget.h"

// The buttons and the field of the three screens on the 320 x 240 display.
inline constexpr int32_t kDirOpen[] = {80, 214}, kDirExit[] = {240, 214};
inline constexpr int32_t kFileEdit[] = {41, 215}, kFileExit[] = {275, 215};
inline constexpr int32_t kEditSave[] = {81, 215}, kEditCancel[] = {238, 215}, kEditInput[] = {160, 55};

class CAppFixture : public ::testing::Test {
 public:
  explicit CAppFixture(uint32_t width = 320, uint32_t height = 240) : display(width, height) {}

  static constexpr int kSettlePasses = 3;
  static constexpr long kPassLimit = 200000;
  static constexpr const char* kLog = "/mnt/sdcard/debug.txt";

  void SetUp() override {
    KESTREL_REQUIRE_SANDBOX();
    RemoveCard();
    ASSERT_EQ(0, mkdir("/mnt/sdcard", 0755));
    clock.onSleep = [this] { OnPass(); };
    display.onFlush = [this] {
      if (markFlushes) DebugLog(("-- flush " + std::to_string(ScreenHash())).c_str());
    };
  }
  void TearDown() override {
    ResetApplicationForTesting();
    RemoveCard();
  }
  // The directory screen enters folders as the working directory: leave the
  // card before removing it.
  static void RemoveCard() {
    if (chdir("/") != 0) return;
    std::system("rm -rf /mnt/sdcard");
  }

  // Card fixtures.
  static void Dir(const std::string& path) { mkdir(("/mnt/sdcard/" + path).c_str(), 0755); }
  static void File(const std::string& path, const std::string& content) {
    FILE* f = std::fopen(("/mnt/sdcard/" + path).c_str(), "wb");
    if (f == nullptr) return;
    std::fwrite(content.data(), 1, content.size(), f);
    std::fclose(f);
  }

  // The card of the state machine's tests. Listed at its root: the parent
  // entry, docs and notes.txt (the debug log, debug.txt, is filtered out).
  static void MakeNotesCard() {
    Dir("kestrel");
    File("kestrel/config.txt", "note\ndocs");
    Dir("docs");
    File("docs/inner.txt", "one\n");
    File("notes.txt", "alpha\nbeta\ngamma\n");
  }

  // Script steps: one touch sample and one key (or none) per pass.
  void Pass(std::optional<InputEvent> touch, std::optional<int32_t> key = std::nullopt) {
    input.touches.push_back(touch);
    input.keys.push_back(key);
  }
  void Idle(int count) {
    for (int i = 0; i < count; ++i) Pass(std::nullopt);
  }
  // Pen down and up at a point, then a pass to spare.
  void Tap(int32_t x, int32_t y) {
    Pass(InputEvent{x, y, 1});
    Pass(InputEvent{x, y, 0});
    Idle(1);
  }
  void Press(const int32_t (&at)[2]) { Tap(at[0], at[1]); }
  // A tap on row `row` of a list; rows are as tall as their first item.
  void TapRow(CUIListBox* list, int32_t row) {
    const int32_t h = list->GetItemHeight(0);
    Tap(list->rect.x + 20, list->rect.y + row * h + h / 2);
  }
  void TapWidget(const MUIWidget* w) { Tap(w->rect.x + w->rect.width / 2, w->rect.y + w->rect.height / 2); }
  void Key(int32_t code) {
    Pass(std::nullopt, code);
    Idle(1);
  }

  // A step of the script, run between passes once the steps before it are
  // played: it may look at the screens shown and queue taps and keys.
  void Then(std::function<void()> action) { actions.push_back(std::move(action)); }

  // Plays the script through the program's entry with the debug log open.
  void Run(bool openLog = true) {
    if (openLog) DebugLogOpen();
    passes = 0;
    settled = 0;
    stopping = false;
    stopped = false;
    std::vector<char*> argv;
    for (std::string& a : arguments) argv.push_back(a.data());
    argv.push_back(nullptr);
    EXPECT_EQ(0, KestrelMain(static_cast<int>(arguments.size()), argv.data()));
    EXPECT_LT(passes, kPassLimit) << "the run did not settle";
  }

  // Called after each sleep: marks the pass, lets the test look, and ends the
  // run once the script is played.
  void OnPass() {
    ++passes;
    if (markPasses) DebugLog("-- pass");
    if (eachPass) eachPass();
    if (stopping || passes >= kPassLimit) {
      if (!stopped && markPasses) DebugLog("-- stop");
      stopped = true;
      status = -1;
      GetEventLoop()->quitRequested = true;
      return;
    }
    const bool shown = status == directory_active || status == file_active || status == editline_active;
    if (input.touches.empty() && input.keys.empty() && shown) {
      if (!actions.empty()) {
        std::function<void()> next = actions.front();
        actions.pop_front();
        next();
        settled = 0;
      } else if (settleStops && ++settled >= kSettlePasses) {
        stopping = true;
      }
    } else {
      settled = 0;
    }
  }

  // The debug log's lines; the log is closed and removed, so the next run
  // starts a new one.
  static std::vector<std::string> TakeLog() {
    DebugLogClose();
    std::vector<std::string> lines;
    FILE* f = std::fopen(kLog, "rb");
    if (f != nullptr) {
      std::string line;
      for (int c = std::fgetc(f); c != EOF; c = std::fgetc(f)) {
        if (c == '\n') {
          lines.push_back(line);
          line.clear();
        } else {
          line.push_back(static_cast<char>(c));
        }
      }
      std::fclose(f);
    }
    std::remove(kLog);
    return lines;
  }
  // The lines before the run was stopped.
  static std::vector<std::string> UntilStop(const std::vector<std::string>& lines) {
    std::vector<std::string> out;
    for (const std::string& l : lines) {
      if (l == "-- stop") break;
      out.push_back(l);
    }
    return out;
  }
  // The lines without the pass and flush marks.
  static std::vector<std::string> TraceOnly(const std::vector<std::string>& lines) {
    std::vector<std::string> out;
    for (const std::string& l : lines)
      if (l.rfind("-- ", 0) != 0) out.push_back(l);
    return out;
  }
  // The lines that begin with `prefix`, in order.
  static std::vector<std::string> Starting(const std::vector<std::string>& lines, const std::string& prefix) {
    std::vector<std::string> out;
    for (const std::string& l : lines)
      if (l.rfind(prefix, 0) == 0) out.push_back(l);
    return out;
  }

  uint64_t ScreenHash() {
    uint64_t h = 1469598103934665603ull;
    const uint8_t* p = display.Pixels().GetBuffer();
    const size_t n = size_t{display.GetWidth()} * display.GetHeight() * 2;
    for (size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 1099511628211ull;
    return h;
  }

  // The program's arguments, its name first.
  std::vector<std::string> arguments = {"kestrel"};
  CFakeClock clock;
  CRecordingVirtualScreen display;
  CScriptedInputReader& input = TestInput();
  bool markPasses = true;
  bool markFlushes = true;
  long passes = 0;
  int settled = 0;
  bool stopping = false;
  bool stopped = false;
  // false: the run goes on without a script until the test sets `stopping`.
  bool settleStops = true;
  std::function<void()> eachPass;
  std::deque<std::function<void()>> actions;
};
