// Scenario files: any bytes give steps or one error naming a line; every
// step read holds values its command allows.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "emu/scenario.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<ScenarioStep> steps;
  std::string error;
  if (!ParseScenario(text, "f", steps, error)) {
    if (error.rfind("f:", 0) != 0 || !steps.empty()) abort();
    return 0;
  }
  for (const ScenarioStep& s : steps) {
    if (s.line < 1 || s.x < -32768 || s.x > 32767 || s.y < -32768 || s.y > 32767) abort();
    if (s.kind == ScenarioStep::kKey && (s.value < 1 || s.value > 10)) abort();
    if (s.kind == ScenarioStep::kWait && (s.value < 0 || s.value > kMaxWaitMs)) abort();
    if ((s.kind == ScenarioStep::kShot || s.kind == ScenarioStep::kExpectShot) &&
        (s.name.empty() || s.name.find('/') != std::string::npos || s.name[0] == '.'))
      abort();
  }
  return 0;
}
