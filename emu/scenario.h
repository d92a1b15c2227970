#pragma once
// Scenarios: what the emulator plays on the device, one command a line, '#'
// starts a comment.
//
//   tap X Y          pen down and up at a point
//   press X Y        pen down
//   move X Y         the pen, still down, at another point
//   release X Y      pen up
//   key K            a remote key: its code 1 to 10 or its name
//   wait MS          let the device run for MS milliseconds
//   shot NAME        once the display has settled, save it as NAME.png
//   expect-shot NAME the same, and compare it with the golden NAME.png
//   expect-exit CODE wait for the program to end with exit status CODE
//   inactive         hand the display and input to another process, which
//                    paints the display grey
//   active           hand them back to the program
//   pull-card        take the card out: its entries move to a folder beside
//                    it (only with a writable card); insert-card puts them back
//   report           print the program's processor time, peak memory and
//                    the time from each touch to the display's change

#include <cstdint>
#include <string>
#include <vector>

struct ScenarioStep {
  enum Kind { kTap, kPress, kMove, kRelease, kKey, kWait, kShot, kExpectShot, kExpectExit,
              kInactive, kActive, kPullCard, kInsertCard, kReport };
  Kind kind = kWait;
  int line = 0;
  int32_t x = 0;
  int32_t y = 0;
  int32_t value = 0;  // key code, milliseconds or exit status
  std::string name;   // picture name
};

// The key code of a key's number ("1" to "10") or name (up, down, back,
// forward, keyboard, ok, page-up, page-down, capital, small); 0 for none.
int32_t ParseKeyName(const std::string& word);

// The longest scenario read, and the longest wait.
inline constexpr size_t kMaxScenarioBytes = 1 << 20;
inline constexpr int32_t kMaxWaitMs = 3600 * 1000;

// The steps of a scenario; at the first bad line false, no steps, and
// "<source>:<line>: <what is wrong>" in `error`.
bool ParseScenario(const std::string& text, const std::string& source, std::vector<ScenarioStep>& steps,
                   std::string& error);
// The same for the scenario file at `path` (at most kMaxScenarioBytes); a
// file that cannot be read gives "<path>: <reason>".
bool ReadScenarioFile(const std::string& path, std::vector<ScenarioStep>& steps, std::string& error);
