#include "emu/scenario.h"

#include <cstring>

#include "emu/bounded_file.h"
#include "emu/whole_number.h"

namespace {

struct KeyName {
  const char* name;
  int32_t code;
};
constexpr KeyName kKeyNames[] = {
    {"up", 1},        {"down", 2},      {"back", 3},     {"forward", 4}, {"keyboard", 5},
    {"ok", 6},        {"page-up", 7},   {"page-down", 8}, {"capital", 9}, {"small", 10},
};

std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
    size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
    if (i > start) words.push_back(line.substr(start, i - start));
  }
  return words;
}


// Picture names become file names: letters, digits, '-' and '_' only.
bool PictureName(const std::string& word) {
  if (word.empty() || word.size() > 64) return false;
  for (char c : word) {
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
    if (!ok) return false;
  }
  return true;
}

struct Command {
  const char* word;
  ScenarioStep::Kind kind;
  enum Args { kNone, kPoint, kKeyArg, kMs, kName, kCode } args;
};
constexpr Command kCommands[] = {
    {"tap", ScenarioStep::kTap, Command::kPoint},
    {"press", ScenarioStep::kPress, Command::kPoint},
    {"move", ScenarioStep::kMove, Command::kPoint},
    {"release", ScenarioStep::kRelease, Command::kPoint},
    {"key", ScenarioStep::kKey, Command::kKeyArg},
    {"wait", ScenarioStep::kWait, Command::kMs},
    {"shot", ScenarioStep::kShot, Command::kName},
    {"expect-shot", ScenarioStep::kExpectShot, Command::kName},
    {"expect-exit", ScenarioStep::kExpectExit, Command::kCode},
    {"inactive", ScenarioStep::kInactive, Command::kNone},
    {"active", ScenarioStep::kActive, Command::kNone},
    {"pull-card", ScenarioStep::kPullCard, Command::kNone},
    {"insert-card", ScenarioStep::kInsertCard, Command::kNone},
    {"report", ScenarioStep::kReport, Command::kNone},
};

// What is wrong with a line's arguments, empty when nothing.
std::string ParseArgs(const Command& c, const std::vector<std::string>& w, ScenarioStep& step) {
  const size_t wanted = c.args == Command::kNone ? 1 : c.args == Command::kPoint ? 3 : 2;
  static const char* kUsage[] = {"", "X Y", "a key code 1 to 10 or a key name", "milliseconds", "a picture name",
                                 "an exit status 0 to 255"};
  const std::string usage = std::string(c.word) + (c.args == Command::kNone ? " takes no argument" :
                                                   std::string(" takes ") + kUsage[c.args]);
  if (w.size() != wanted) return usage;
  switch (c.args) {
    case Command::kNone:
      return std::string();
    case Command::kPoint:
      // The touch driver's fields are signed 16-bit.
      if (!ParseWholeNumber(w[1], -32768, 32767, step.x) || !ParseWholeNumber(w[2], -32768, 32767, step.y))
        return std::string(c.word) + ": X and Y must be whole numbers from -32768 to 32767";
      return std::string();
    case Command::kKeyArg:
      step.value = ParseKeyName(w[1]);
      if (step.value == 0) {
        std::string names;
        for (const KeyName& k : kKeyNames) names += std::string(names.empty() ? "" : ", ") + k.name;
        return "key: unknown key \"" + w[1] + "\" (a code 1 to 10 or one of " + names + ")";
      }
      return std::string();
    case Command::kMs:
      if (!ParseWholeNumber(w[1], 0, kMaxWaitMs, step.value))
        return "wait: milliseconds must be a whole number from 0 to " + std::to_string(kMaxWaitMs);
      return std::string();
    case Command::kName:
      if (!PictureName(w[1]))
        return std::string(c.word) + ": a picture name is 1 to 64 letters, digits, '-' or '_'";
      step.name = w[1];
      return std::string();
    case Command::kCode:
      if (!ParseWholeNumber(w[1], 0, 255, step.value)) return "expect-exit: the status must be a whole number from 0 to 255";
      return std::string();
  }
  return usage;
}

}  // namespace

int32_t ParseKeyName(const std::string& word) {
  int32_t code = 0;
  if (ParseWholeNumber(word, 1, 10, code)) return code;
  for (const KeyName& k : kKeyNames)
    if (word == k.name) return k.code;
  return 0;
}

bool ParseScenario(const std::string& text, const std::string& source, std::vector<ScenarioStep>& steps,
                   std::string& error) {
  steps.clear();
  if (text.size() > kMaxScenarioBytes) {
    error = source + ": longer than " + std::to_string(kMaxScenarioBytes) + " bytes";
    return false;
  }
  if (text.find('\0') != std::string::npos) {
    error = source + ": not a text file (it holds a NUL byte)";
    return false;
  }
  int lineNumber = 0;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    at = end + 1;
    ++lineNumber;
    const size_t hash = line.find('#');
    if (hash != std::string::npos) line.resize(hash);
    const std::vector<std::string> w = Words(line);
    if (w.empty()) continue;
    const Command* command = nullptr;
    for (const Command& c : kCommands)
      if (w[0] == c.word) command = &c;
    const std::string where = source + ":" + std::to_string(lineNumber) + ": ";
    if (command == nullptr) {
      steps.clear();
      error = where + "unknown command \"" + w[0].substr(0, 40) +
              "\" (tap, press, move, release, key, wait, shot, expect-shot, expect-exit, inactive, active, pull-card, insert-card, report)";
      return false;
    }
    ScenarioStep step;
    step.kind = command->kind;
    step.line = lineNumber;
    const std::string wrong = ParseArgs(*command, w, step);
    if (!wrong.empty()) {
      steps.clear();
      error = where + wrong;
      return false;
    }
    steps.push_back(step);
  }
  return true;
}

bool ReadScenarioFile(const std::string& path, std::vector<ScenarioStep>& steps, std::string& error) {
  std::string text;
  return ReadBoundedFile(path, kMaxScenarioBytes, text, error) && ParseScenario(text, path, steps, error);
}
