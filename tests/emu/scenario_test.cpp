// Scenario files: every command read, and a bad line named with its number.
#include "emu/scenario.h"

#include <gtest/gtest.h>

namespace {

TEST(Scenario, ReadsEveryCommand) {
  const std::string text =
      "# the demo\n"
      "tap 10 20\n"
      "  press -5 32767   # a comment after a command\n"
      "move 1 2\r\n"
      "release 3 4\n"
      "\n"
      "key 6\n"
      "key page-down\n"
      "wait 250\n"
      "shot dir-root\n"
      "expect-shot file_1\n"
      "inactive\n"
      "active\n"
      "pull-card\n"
      "insert-card\n"
      "report\n"
      "expect-exit 0";
  std::vector<ScenarioStep> steps;
  std::string error;
  ASSERT_TRUE(ParseScenario(text, "demo", steps, error)) << error;
  ASSERT_EQ(15u, steps.size());
  EXPECT_EQ(ScenarioStep::kTap, steps[0].kind);
  EXPECT_EQ(2, steps[0].line);
  EXPECT_EQ(10, steps[0].x);
  EXPECT_EQ(20, steps[0].y);
  EXPECT_EQ(-5, steps[1].x);
  EXPECT_EQ(32767, steps[1].y);
  EXPECT_EQ(ScenarioStep::kMove, steps[2].kind);
  EXPECT_EQ(ScenarioStep::kRelease, steps[3].kind);
  EXPECT_EQ(6, steps[4].value);
  EXPECT_EQ(7, steps[4].line);
  EXPECT_EQ(8, steps[5].value);
  EXPECT_EQ(250, steps[6].value);
  EXPECT_EQ("dir-root", steps[7].name);
  EXPECT_EQ(ScenarioStep::kExpectShot, steps[8].kind);
  EXPECT_EQ("file_1", steps[8].name);
  EXPECT_EQ(ScenarioStep::kInactive, steps[9].kind);
  EXPECT_EQ(ScenarioStep::kActive, steps[10].kind);
  EXPECT_EQ(ScenarioStep::kPullCard, steps[11].kind);
  EXPECT_EQ(ScenarioStep::kInsertCard, steps[12].kind);
  EXPECT_EQ(ScenarioStep::kReport, steps[13].kind);
  EXPECT_EQ(ScenarioStep::kExpectExit, steps[14].kind);
  EXPECT_EQ(0, steps[14].value);
}

TEST(Scenario, KeyNamesAndNumbers) {
  const struct {
    const char* word;
    int32_t code;
  } cases[] = {{"1", 1},      {"10", 10},     {"up", 1},         {"down", 2},      {"back", 3},
               {"forward", 4}, {"keyboard", 5}, {"ok", 6},          {"page-up", 7},   {"page-down", 8},
               {"capital", 9}, {"small", 10},   {"0", 0},           {"11", 0},        {"OK", 0},
               {"", 0},        {"6x", 0},       {"-1", 0}};
  for (const auto& c : cases) EXPECT_EQ(c.code, ParseKeyName(c.word)) << c.word;
}

TEST(Scenario, ABadLineIsNamedWithItsNumber) {
  const struct {
    const char* text;
    const char* error;
  } cases[] = {
      {"tap 1 2\nfly 3", "s:2: unknown command \"fly\""},
      {"tap 1", "s:1: tap takes X Y"},
      {"tap 1 2 3", "s:1: tap takes X Y"},
      {"tap 1 32768", "s:1: tap: X and Y must be whole numbers from -32768 to 32767"},
      {"tap a 2", "s:1: tap: X and Y must be whole numbers"},
      {"\n\nkey 11", "s:3: key: unknown key \"11\""},
      {"wait -1", "s:1: wait: milliseconds must be a whole number from 0 to 3600000"},
      {"wait 99999999999999", "s:1: wait: milliseconds"},
      {"shot ../escape", "s:1: shot: a picture name is 1 to 64 letters, digits, '-' or '_'"},
      {"shot a/b", "s:1: shot: a picture name"},
      {"expect-exit 256", "s:1: expect-exit: the status must be a whole number from 0 to 255"},
      {"report now", "s:1: report takes no argument"},
  };
  for (const auto& c : cases) {
    std::vector<ScenarioStep> steps;
    std::string error;
    EXPECT_FALSE(ParseScenario(c.text, "s", steps, error)) << c.text;
    EXPECT_EQ(0u, error.find(c.error)) << c.text << " gave: " << error;
  }
  std::vector<ScenarioStep> steps;
  std::string error;
  EXPECT_FALSE(ParseScenario(std::string("tap 1 2\n\0", 9), "s", steps, error));
  EXPECT_EQ("s: not a text file (it holds a NUL byte)", error);
  EXPECT_FALSE(ParseScenario(std::string(kMaxScenarioBytes + 1, '#'), "s", steps, error));
  EXPECT_TRUE(steps.empty());
}

}  // namespace
