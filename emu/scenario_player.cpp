#include "emu/scenario_player.h"

#include <unistd.h>

#include <cstdio>
#include <set>

namespace {

using Clock = CEmuDevice::Clock;

long Milliseconds(Clock::duration d) { return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(d).count()); }

void PrintReport(const CEmuDevice& device) {
  ProcessFigures f;
  const double seconds = std::chrono::duration<double>(device.SinceStart()).count();
  if (device.Figures(f)) {
    const double cpu = static_cast<double>(f.cpuTicks) / static_cast<double>(sysconf(_SC_CLK_TCK));
    std::printf("report: the program used %.2f s of processor time in %.1f s (%.2f %%), peak resident size %llu KiB\n",
                cpu, seconds, seconds > 0 ? 100.0 * cpu / seconds : 0.0,
                static_cast<unsigned long long>(f.peakRssKiB));
  } else {
    std::printf("report: the program is not running\n");
  }
  const auto& l = device.TouchLatencies();
  if (!l.empty()) {
    Clock::duration worst{}, total{};
    for (const auto& d : l) {
      total += d;
      if (d > worst) worst = d;
    }
    std::printf("report: touch to display change: %zu touches, mean %ld ms, longest %ld ms\n", l.size(),
                Milliseconds(total / static_cast<long>(l.size())), Milliseconds(worst));
  }
  std::fflush(stdout);
}

}  // namespace

bool TakeShot(CEmuDevice& device, const std::string& path, Clock::duration timeout, std::string& why) {
  CRgbPicture picture;
  if (!device.WaitSettled(timeout, why, &picture)) return false;
  if (!WritePng(path, picture)) {
    why = "cannot write " + path;
    return false;
  }
  return true;
}

int PlayScenario(CEmuDevice& device, const std::vector<ScenarioStep>& steps, const PlayerSettings& s) {
  int failures = 0;
  std::set<std::string> written;
  for (const ScenarioStep& step : steps) {
    const std::string where = s.source + ":" + std::to_string(step.line) + ": ";
    std::string why;
    bool ok = true;
    bool fatal = true;
    if (!device.Running() && step.kind != ScenarioStep::kExpectExit && step.kind != ScenarioStep::kReport) {
      std::fprintf(stderr, "%sthe program has ended (status %d)\n", where.c_str(), device.ExitStatus());
      return failures + 1;
    }
    const auto x = static_cast<int16_t>(step.x), y = static_cast<int16_t>(step.y);
    switch (step.kind) {
      case ScenarioStep::kTap:
        ok = device.SendTouch(kPenPressure, x, y, s.timeout, why) && device.SendTouch(0, x, y, s.timeout, why);
        break;
      case ScenarioStep::kPress:
      case ScenarioStep::kMove:
        ok = device.SendTouch(kPenPressure, x, y, s.timeout, why);
        break;
      case ScenarioStep::kRelease:
        ok = device.SendTouch(0, x, y, s.timeout, why);
        break;
      case ScenarioStep::kKey:
        ok = device.SendKey(step.value, s.timeout, why);
        break;
      case ScenarioStep::kWait:
        device.Wait(std::chrono::milliseconds(step.value));
        break;
      case ScenarioStep::kShot: {
        const std::string path = s.outDir + "/" + step.name + ".png";
        ok = TakeShot(device, path, s.timeout, why);
        if (ok) std::printf("shot %s\n", path.c_str());
        break;
      }
      case ScenarioStep::kExpectShot: {
        CRgbPicture actual, expected, diff;
        if (!device.WaitSettled(s.timeout, why, &actual)) {
          ok = false;
          break;
        }
        fatal = false;
        const std::string shotPath = s.outDir + "/" + step.name + ".png";
        WritePng(shotPath, actual);
        const std::string golden = s.goldenDir + "/" + step.name + ".png";
        // A picture named twice in one run must be the same both times,
        // also while the goldens are written.
        if (s.updateGoldens && written.count(step.name) == 0) {
          written.insert(step.name);
          ok = WritePng(golden, actual);
          if (ok) std::printf("wrote %s\n", golden.c_str());
          else why = "cannot write " + golden;
          break;
        }
        const bool read = ReadPng(golden, expected);
        const long differing = read ? ComparePictures(actual, expected, &diff) : -1;
        if (differing == 0) {
          std::printf("shot %s (matches %s)\n", shotPath.c_str(), golden.c_str());
          break;
        }
        ok = false;
        const std::string& actualPath = shotPath;
        if (!read) {
          why = "no golden " + golden + " (KESTREL_UPDATE_GOLDENS=1 writes it)";
        } else if (differing < 0) {
          why = golden + " is " + std::to_string(expected.width) + "x" + std::to_string(expected.height) +
                ", the display " + std::to_string(actual.width) + "x" + std::to_string(actual.height);
        } else {
          const std::string diffPath = s.outDir + "/" + step.name + ".diff.png";
          WritePng(diffPath, diff);
          why = std::to_string(differing) + " pixels differ from " + golden + "; difference in " + diffPath;
        }
        why += "; actual picture in " + actualPath;
        break;
      }
      case ScenarioStep::kExpectExit:
        fatal = false;
        if (!device.WaitExit(s.timeout)) {
          ok = false;
          fatal = true;
          why = "the program did not end";
        } else if (device.ExitStatus() != step.value) {
          ok = false;
          why = "the program ended with status " + std::to_string(device.ExitStatus()) + ", not " +
                std::to_string(step.value);
        }
        break;
      case ScenarioStep::kInactive:
        device.SetProgramActive(false);
        break;
      case ScenarioStep::kActive:
        device.SetProgramActive(true);
        break;
      case ScenarioStep::kPullCard:
        ok = device.PullCard(why);
        break;
      case ScenarioStep::kInsertCard:
        ok = device.InsertCard(why);
        break;
      case ScenarioStep::kReport:
        PrintReport(device);
        break;
    }
    if (!ok) {
      ++failures;
      std::fprintf(stderr, "%s%s\n", where.c_str(), why.c_str());
      if (fatal) return failures;
    }
  }
  std::fflush(stdout);
  return failures;
}
