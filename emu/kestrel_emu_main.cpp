// kestrel-emu: the device emulator. See EmuUsage (emu/emu_options.cpp).
#include <signal.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "emu/emu_device.h"
#include "emu/emu_options.h"
#include "emu/scenario.h"
#include "emu/scenario_player.h"
#include "emu/window.h"

namespace {

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
}

bool MakeFolders(const std::string& path) {
  std::string at;
  for (size_t i = 0; i <= path.size(); ++i) {
    if (i == path.size() || (path[i] == '/' && i > 0)) {
      at = path.substr(0, i);
      if (mkdir(at.c_str(), 0755) != 0 && errno != EEXIST) return false;
    }
  }
  return true;
}

void OnSignal(int) { CEmuDevice::RequestStop(); }

bool UnderCi() {
  const char* ci = std::getenv("CI");
  return ci != nullptr && std::strcmp(ci, "true") == 0;
}

}  // namespace

int main(int argc, char** argv) {
  // Shots and messages in the order they happen, also into a pipe.
  setvbuf(stdout, nullptr, _IOLBF, 0);
  const std::string defaultCard = KESTREL_DEMO_CARD, defaultProgram = KESTREL_EMULATED_PROGRAM;
  EmuOptions o;
  std::string error;
  if (!ParseEmuOptions(std::vector<std::string>(argv + 1, argv + argc), o, error)) {
    std::fprintf(stderr, "kestrel-emu: %s\n%s", error.c_str(), EmuUsage(defaultCard, defaultProgram).c_str());
    return 2;
  }
  if (o.help) {
    std::fputs(EmuUsage(defaultCard, defaultProgram).c_str(), stdout);
    return 0;
  }
  if (o.card.empty()) o.card = defaultCard;
  if (o.command.empty()) o.command = {defaultProgram};
  std::vector<ScenarioStep> steps;
  if (!o.scenario.empty()) {
    if (!ReadScenarioFile(o.scenario, steps, error)) {
      std::fprintf(stderr, "kestrel-emu: %s\n", error.c_str());
      return 2;
    }
  }
  if (!MakeFolders(o.outDir)) {
    std::fprintf(stderr, "kestrel-emu: cannot make %s: %s\n", o.outDir.c_str(), std::strerror(errno));
    return 1;
  }
  EmuDeviceSetup setup;
  setup.card = o.card;
  setup.writableCard = o.writableCard;
  setup.model = o.model;
  setup.command = o.command;
  setup.logPath = o.log.empty() ? o.outDir + "/kestrel.log" : o.log;
  setup.report = [](const std::string& line) { std::fprintf(stderr, "kestrel-emu: %s\n", line.c_str()); };
  // Interrupted, the emulator still ends the program and removes its files.
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) sigaction(sig, &action, nullptr);
  CEmuDevice device;
  bool noSandbox = false;
  if (!device.Start(setup, error, &noSandbox)) {
    if (noSandbox) {
      std::fprintf(stderr, "kestrel-emu: %s: %s\n", UnderCi() ? "FAILED" : "SKIPPED", error.c_str());
      return UnderCi() ? 1 : 77;
    }
    std::fprintf(stderr, "kestrel-emu: %s\n", error.c_str());
    return 1;
  }
  const auto timeout = std::chrono::seconds(o.timeoutSeconds);
  int status = 0;
  if (o.window) {
    WindowSettings w;
    w.scale = o.scale;
    w.outDir = o.outDir;
    status = RunWindow(device, w);
  } else if (!o.scenario.empty()) {
    PlayerSettings p;
    p.source = o.scenario;
    p.outDir = o.outDir;
    p.goldenDir = o.goldenDir.empty() ? FolderOf(o.scenario) : o.goldenDir;
    const char* update = std::getenv("KESTREL_UPDATE_GOLDENS");
    p.updateGoldens = update != nullptr && std::strcmp(update, "1") == 0;
    p.timeout = timeout;
    const int failures = PlayScenario(device, steps, p);
    if (failures > 0) {
      std::fprintf(stderr, "kestrel-emu: %s: %d step%s failed; the program's output is in %s\n", o.scenario.c_str(),
                   failures, failures == 1 ? "" : "s", setup.logPath.c_str());
      status = 1;
    }
  } else {
    const std::string path = o.outDir + "/screen.png";
    if (TakeShot(device, path, timeout, error)) {
      std::printf("shot %s\n", path.c_str());
    } else {
      std::fprintf(stderr, "kestrel-emu: %s\n", error.c_str());
      status = 1;
    }
  }
  device.Stop();
  if (CEmuDevice::StopRequested()) {
    std::fprintf(stderr, "kestrel-emu: interrupted\n");
    return 130;
  }
  return status;
}
