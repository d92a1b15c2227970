#include "emu/emu_options.h"

#include "emu/whole_number.h"

std::string EmuUsage(const std::string& defaultCard, const std::string& defaultProgram) {
  return "usage: kestrel-emu [options] [-- PROGRAM [ARGS...]]\n"
         "Runs the program on an emulated device: the card at /mnt/sdcard, the display,\n"
         "the touch screen and the remote, the master UI process, the launcher and the\n"
         "navigation server.\n"
         "  --card DIR         card folder (default " + defaultCard + ")\n"
         "  --writable-card    let the program write to the card (read-only otherwise)\n"
         "  --model N          device model: 27 (default, 320x240 row-major panel),\n"
         "                     144 (480x272 row-major panel), any other: 320x240 plain memory\n"
         "  --scenario FILE    play FILE headless (see emu/scenario.h for its commands)\n"
         "  --window           live window: mouse = touch, keyboard = remote\n"
         "  --scale N          window scale, 1 to 8 (default 2)\n"
         "  --out DIR          where shots and the program's log go (default kestrel-shots)\n"
         "  --goldens DIR      where expect-shot finds NAME.png (default the scenario's folder)\n"
         "  --log FILE         the program's standard output and error (default OUT/kestrel.log)\n"
         "  --timeout S        longest wait for the display to settle or the program to end (default 60)\n"
         "  --help\n"
         "PROGRAM defaults to " + defaultProgram + ".\n"
         "Without --scenario or --window it waits for the first settled screen, saves it\n"
         "as OUT/screen.png and stops the program.\n";
}

bool ParseEmuOptions(const std::vector<std::string>& args, EmuOptions& o, std::string& error) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= args.size() || args[i + 1].empty()) {
        error = a + " needs a value";
        return false;
      }
      out = args[++i];
      return true;
    };
    auto number = [&](long low, long high, int32_t& out) {
      std::string v;
      if (!value(v)) return false;
      if (!ParseWholeNumber(v, low, high, out)) {
        error = a + " takes a whole number from " + std::to_string(low) + " to " + std::to_string(high) +
                ", not \"" + v.substr(0, 40) + "\"";
        return false;
      }
      return true;
    };
    bool ok = true;
    if (a == "--") {
      o.command.assign(args.begin() + static_cast<long>(i) + 1, args.end());
      if (o.command.empty()) {
        error = "-- must be followed by the program to run";
        return false;
      }
      return true;
    } else if (a == "--card") {
      ok = value(o.card);
    } else if (a == "--writable-card") {
      o.writableCard = true;
    } else if (a == "--model") {
      ok = number(0, 1000000, o.model);
    } else if (a == "--scenario") {
      ok = value(o.scenario);
    } else if (a == "--window") {
      o.window = true;
    } else if (a == "--scale") {
      ok = number(1, 8, o.scale);
    } else if (a == "--out") {
      ok = value(o.outDir);
    } else if (a == "--goldens") {
      ok = value(o.goldenDir);
    } else if (a == "--log") {
      ok = value(o.log);
    } else if (a == "--timeout") {
      ok = number(1, 3600, o.timeoutSeconds);
    } else if (a == "--help" || a == "-h") {
      o.help = true;
    } else {
      error = "unknown option \"" + a.substr(0, 60) + "\"";
      return false;
    }
    if (!ok) return false;
  }
  if (o.window && !o.scenario.empty()) {
    error = "--window and --scenario cannot be used together";
    return false;
  }
  return true;
}
