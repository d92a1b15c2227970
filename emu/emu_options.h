#pragma once
// The emulator's command line.

#include <cstdint>
#include <string>
#include <vector>

struct EmuOptions {
  std::string card;          // the card folder, shown at /mnt/sdcard
  bool writableCard = false;
  int32_t model = 27;
  std::string scenario;      // empty: none
  bool window = false;
  int32_t scale = 2;
  std::string outDir = "kestrel-shots";
  std::string goldenDir;     // empty: the scenario's folder
  std::string log;           // empty: <outDir>/kestrel.log
  int32_t timeoutSeconds = 60;
  std::vector<std::string> command;  // the program and its arguments
  bool help = false;
};

// Usage text, with the defaults of this build.
std::string EmuUsage(const std::string& defaultCard, const std::string& defaultProgram);

// False with a message that names the bad option in `error`.
bool ParseEmuOptions(const std::vector<std::string>& args, EmuOptions& options, std::string& error);
