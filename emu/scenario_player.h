#pragma once
// Plays a scenario on a running device, headless.

#include <string>
#include <vector>

#include "emu/emu_device.h"
#include "emu/scenario.h"

struct PlayerSettings {
  std::string source;     // the scenario's name, for messages
  std::string outDir;     // shots, and the actual and difference pictures of a mismatch
  std::string goldenDir;  // the goldens of expect-shot
  bool updateGoldens = false;
  CEmuDevice::Clock::duration timeout = std::chrono::seconds(60);
};

// Each step in turn; a step that cannot go on (the program gone, a time-out)
// ends the play. Returns the number of failed steps; messages go to stderr,
// the names of the shots taken to stdout.
int PlayScenario(CEmuDevice& device, const std::vector<ScenarioStep>& steps, const PlayerSettings& settings);

// Saves the settled display as <outDir>/<name>.png; false with the reason.
bool TakeShot(CEmuDevice& device, const std::string& path, CEmuDevice::Clock::duration timeout, std::string& why);
