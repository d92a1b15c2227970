#pragma once
// Drives the on-screen keyboards as a user does: taps on keys found by their
// text and remote key codes, queued on the scripted input reader one pass
// each, while a fake clock counts the sleeps of the event loop. A script that
// never leaves a keyboard ends after kSleepLimit sleeps, so the test fails on
// what it sees instead of hanging. Declares the recording screen before any
// keyboard is made.

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "tests/support/fake_clock.h"
#include "tests/support/find_key.h"
#include "tests/support/recording_screen.h"
#include "tests/support/scripted_input.h"
#include "tests/support/test_environment.h"
#include "ui/keyboard.h"

// A tap on the key with that text (on the letters keyboard, or on the digits
// keyboard through Digit) or a remote key code.
struct KeyStep {
  const char* key = nullptr;
  int32_t code = 0;
  bool onDigits = false;
  KeyStep(const char* k) : key(k) {}  // NOLINT: scripts read better with bare texts
  KeyStep(int32_t c) : code(c) {}     // NOLINT
};

inline KeyStep Digit(const char* key) {
  KeyStep s(key);
  s.onDigits = true;
  return s;
}

class CKeyboardFixture : public ::testing::Test {
 public:
  static constexpr int kSleepLimit = 2000;

  void SetUp() override {
    clock.onSleep = [this] {
      ++sleeps;
      if (eachSleep) eachSleep(sleeps);
      if (sleeps >= kSleepLimit) GetEventLoop()->quitRequested = true;
    };
  }

  // Queues the steps: a key code takes one pass, a tap (pen-down and release
  // on the key's centre) two.
  void Script(const std::vector<KeyStep>& steps) {
    for (const KeyStep& s : steps) {
      if (s.key == nullptr) {
        input.Key(s.code);
        input.NoTouch();
        continue;
      }
      MUIWidget* key = FindKey(s.onDigits ? static_cast<CUIKeyboardScreen*>(GetNumericKeyboard()) : GetKeyboard(), s.key);
      ASSERT_NE(nullptr, key) << s.key;
      const int32_t x = key->rect.x + key->rect.width / 2, y = key->rect.y + key->rect.height / 2;
      input.Touch(x, y, 1);
      input.Touch(x, y, 0);
      input.NoKey();
      input.NoKey();
    }
  }

  CFakeClock clock;
  CRecordingVirtualScreen display;
  CScriptedInputReader& input = TestInput();
  int sleeps = 0;
  // Called after each sleep with the number of sleeps so far.
  std::function<void(int)> eachSleep;
};
