#pragma once
// An input reader that plays a script: each ReadTouch and each ReadKey takes
// the next entry of its own queue; an empty entry (or an empty queue) reads
// nothing, as an idle device does.

#include <deque>
#include <optional>

#include "device/input_reader.h"

class CScriptedInputReader final : public MInputReader {
 public:
  bool ReadTouch(InputEvent& event) override {
    ++touchReads;
    if (touches.empty()) return false;
    std::optional<InputEvent> next = touches.front();
    touches.pop_front();
    if (!next) return false;
    event = *next;
    return true;
  }
  bool ReadKey(int32_t& key) override {
    ++keyReads;
    if (keys.empty()) return false;
    std::optional<int32_t> next = keys.front();
    keys.pop_front();
    if (!next) return false;
    key = *next;
    return true;
  }

  void Touch(int32_t x, int32_t y, int32_t pressure) { touches.push_back(InputEvent{x, y, pressure}); }
  void NoTouch() { touches.push_back(std::nullopt); }
  void Key(int32_t code) { keys.push_back(code); }
  void NoKey() { keys.push_back(std::nullopt); }

  std::deque<std::optional<InputEvent>> touches;
  std::deque<std::optional<int32_t>> keys;
  int touchReads = 0;
  int keyReads = 0;
};
