// board_driver: plays a scenario on the emulated board of tools/test-device,
// where the device build runs on a real kernel in QEMU system emulation.
//
//   board_driver --qemu-pid PID --qmp SOCKET --control SOCKET --console LOG
//                --scenario FILE --goldens DIR --out DIR
//                (--mapped "WxH, Dbpp" | --refusal)
//
// The board's init (tests/board/init.sh) takes commands on a serial line
// (--control) and writes the touch and remote records into the program's
// FIFOs; the screen is QEMU's own display, read with the monitor's screendump
// (--qmp). A screen dump shows RGB565 pixels expanded by shifting; it is
// reduced to RGB565 and expanded as the emulator expands it (ppm_image.h),
// so that it compares pixel for pixel with the emulator's goldens.
//
// --mapped: the program must print its framebuffer line on the console with
// these parameters. --refusal: the framebuffer is one the program must refuse:
// no framebuffer line, and every shot equal to the screen before it started.
// Exit status 0 when every check passes, 1 when one fails, 2 for bad usage.
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "emu/input_writer.h"
#include "emu/png_image.h"
#include "emu/ppm_image.h"
#include "emu/scenario.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kBootTimeout = std::chrono::seconds(240);
constexpr auto kReplyTimeout = std::chrono::seconds(60);
constexpr auto kShotTimeout = std::chrono::seconds(60);
constexpr auto kPollInterval = std::chrono::milliseconds(100);
// Identical dumps in a row that make a settled screen for `shot`.
constexpr int kSettledDumps = 5;
constexpr size_t kMaxLine = 64 * 1024;
constexpr size_t kMaxConsole = 16 << 20;
constexpr int kSigtermStatus = 128 + 15;

const Clock::time_point gStart = Clock::now();
pid_t gQemu = 0;

// Waiting ends early when QEMU has gone (a kernel panic ends it too).
bool QemuRunning() { return kill(gQemu, 0) == 0; }

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

void Say(const std::string& s) { std::printf("board: %s\n", s.c_str()); std::fflush(stdout); }

// A stream socket that QEMU serves, read a line at a time.
class CLineChannel {
 public:
  ~CLineChannel() {
    if (iFd >= 0) close(iFd);
  }
  bool Connect(const std::string& path, Clock::time_point deadline) {
    sockaddr_un a{};
    if (path.size() >= sizeof a.sun_path) return false;
    a.sun_family = AF_UNIX;
    std::memcpy(a.sun_path, path.c_str(), path.size() + 1);
    while (Clock::now() < deadline && QemuRunning()) {
      iFd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
      if (iFd < 0) return false;
      if (connect(iFd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) return true;
      close(iFd);
      iFd = -1;
      std::this_thread::sleep_for(kPollInterval);
    }
    return false;
  }
  bool Send(const std::string& line) {
    const std::string s = line + "\n";
    size_t done = 0;
    while (done < s.size()) {
      const ssize_t n = send(iFd, s.data() + done, s.size() - done, MSG_NOSIGNAL);
      if (n <= 0) return false;
      done += static_cast<size_t>(n);
    }
    return true;
  }
  // The next line without its line feed; false at the deadline, at the end
  // of the stream or for a line past kMaxLine.
  bool ReadLine(std::string& line, Clock::time_point deadline) {
    while (true) {
      const size_t end = iBuffer.find('\n');
      if (end != std::string::npos) {
        line = iBuffer.substr(0, end);
        iBuffer.erase(0, end + 1);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return true;
      }
      if (iBuffer.size() > kMaxLine) return false;
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
      if (left <= 0) return false;
      pollfd p{iFd, POLLIN, 0};
      if (poll(&p, 1, static_cast<int>(left)) <= 0) continue;
      char chunk[4096];
      const ssize_t n = read(iFd, chunk, sizeof chunk);
      if (n <= 0) return false;
      iBuffer.append(chunk, static_cast<size_t>(n));
    }
  }

 private:
  int iFd = -1;
  std::string iBuffer;
};

struct Options {
  std::string qemuPid, qmp, control, console, scenario, goldens, out, mapped;
  bool refusal = false;
};

class CBoard {
 public:
  explicit CBoard(const Options& o) : iOptions(o) {}

  bool Run(const std::vector<ScenarioStep>& steps) {
    const Clock::time_point boot = Clock::now() + kBootTimeout;
    if (!iQmp.Connect(iOptions.qmp, boot) || !iControl.Connect(iOptions.control, boot)) {
      return Fail("QEMU's monitor or the board's control line did not open");
    }
    std::string line;
    if (!iQmp.ReadLine(line, boot) || !Qmp("{\"execute\":\"qmp_capabilities\"}", boot)) {
      return Fail("QEMU's monitor did not answer");
    }
    if (!WaitConsole("kestrel-device: ready", boot)) return Fail("the board's init did not come up");
    Say("the board's init is ready " + Time() + " after QEMU started");
    if (!Dump(iBefore) || !Command("start", "started ", line)) return Fail(iWhy);
    iRunning = true;
    if (iOptions.refusal && !Command("passes 10", "ok", line)) return Fail(iWhy);
    for (const ScenarioStep& s : steps) {
      if (!Step(s)) {
        Fail(iOptions.scenario + ":" + std::to_string(s.line) + ": " + iWhy);
        return false;
      }
    }
    if (iRunning) {
      // Still running after the last step: it must not have crashed.
      if (!Command("stop", "exit ", line)) return Fail(iWhy);
      if (line != "exit " + std::to_string(kSigtermStatus)) return Fail("the program ended by itself: " + line);
      Say("the program ran until it was stopped");
    }
    return CheckConsole();
  }

  void Quit() {
    if (iQmp.Send("{\"execute\":\"quit\"}")) {
      std::string line;
      iQmp.ReadLine(line, Clock::now() + std::chrono::seconds(5));
    }
  }

 private:
  bool Fail(const std::string& why) {
    std::fprintf(stderr, "board: %s\n", why.c_str());
    return false;
  }

  std::string Time() const {
    char s[32];
    std::snprintf(s, sizeof s, "%.1f s", Seconds(Clock::now() - gStart));
    return s;
  }

  // Sends a QMP command and waits for its answer, passing over events.
  bool Qmp(const std::string& json, Clock::time_point deadline) {
    if (!iQmp.Send(json)) return false;
    std::string line;
    while (iQmp.ReadLine(line, deadline)) {
      if (line.find("\"return\"") != std::string::npos) return true;
      if (line.find("\"error\"") != std::string::npos) {
        iWhy = "QEMU: " + line;
        return false;
      }
    }
    iWhy = "QEMU's monitor did not answer " + json;
    return false;
  }

  // One command to the board's init; its answer must start with `expect`.
  bool Command(const std::string& command, const std::string& expect, std::string& answer) {
    if (!iControl.Send(command) || !iControl.ReadLine(answer, Clock::now() + kReplyTimeout)) {
      iWhy = "the board did not answer \"" + command.substr(0, command.find(' ')) + "\"";
      return false;
    }
    if (answer.compare(0, expect.size(), expect) != 0) {
      iWhy = "the board answered \"" + answer + "\" to \"" + command.substr(0, command.find(' ')) + "\"";
      return false;
    }
    return true;
  }

  bool Record(const char* device, const std::array<uint8_t, 8>& record) {
    std::string command = device;
    command += ' ';
    char octal[8];
    for (uint8_t b : record) {
      std::snprintf(octal, sizeof octal, "\\%03o", b);
      command += octal;
    }
    std::string answer;
    return Command(command, "ok", answer);
  }

  // The screen as QEMU shows it, as read from the dump.
  bool Dump(CRgbPicture& picture) {
    const std::string path = iOptions.out + "/.screendump.ppm";
    unlink(path.c_str());
    if (!Qmp("{\"execute\":\"screendump\",\"arguments\":{\"filename\":\"" + path + "\"}}",
             Clock::now() + kReplyTimeout) ||
        !ReadPpm(path, picture, iWhy)) {
      iWhy = "no screen dump: " + iWhy;
      return false;
    }
    if (iFirstFrame < 0 && !iBefore.rgb.empty() && picture.rgb != iBefore.rgb) {
      iFirstFrame = Seconds(Clock::now() - gStart);
    }
    return true;
  }

  bool Save(const std::string& name, const CRgbPicture& picture) {
    const std::string path = iOptions.out + "/" + name + ".png";
    if (!WritePng(path, picture)) {
      iWhy = "cannot write " + path;
      return false;
    }
    return true;
  }

  bool Settled(CRgbPicture& picture) {
    CRgbPicture last;
    int same = 0;
    const Clock::time_point end = Clock::now() + kShotTimeout;
    while (Clock::now() < end) {
      if (!Dump(picture)) return false;
      same = picture.rgb == last.rgb ? same + 1 : 1;
      if (same >= kSettledDumps) return true;
      last = picture;
      std::this_thread::sleep_for(kPollInterval);
    }
    iWhy = "the screen did not settle";
    return false;
  }

  bool Shot(const std::string& name) {
    CRgbPicture picture;
    if (!Settled(picture)) return false;
    if (iOptions.refusal && picture.rgb != iBefore.rgb) {
      Save(name, picture);
      iWhy = "the program drew on a framebuffer it must refuse (" + name + ".png)";
      return false;
    }
    ReduceToRgb565(picture);
    return Save(name, picture);
  }

  // Dumps until the screen is the golden's, as the program may take some
  // passes to draw it under emulation.
  bool ExpectShot(const std::string& name) {
    CRgbPicture golden, picture;
    if (!ReadPng(iOptions.goldens + "/" + name + ".png", golden)) {
      iWhy = "no golden " + name + ".png in " + iOptions.goldens;
      return false;
    }
    const Clock::time_point end = Clock::now() + kShotTimeout;
    long differing = -1;
    while (true) {
      if (!Dump(picture)) return false;
      ReduceToRgb565(picture);
      differing = ComparePictures(picture, golden, nullptr);
      if (differing == 0) break;
      if (Clock::now() >= end) {
        CRgbPicture diff;
        Save(name + ".actual", picture);
        if (ComparePictures(picture, golden, &diff) > 0) Save(name + ".diff", diff);
        iWhy = differing < 0 ? "the screen is " + std::to_string(picture.width) + "x" +
                                   std::to_string(picture.height) + ", " + name + ".png is not"
                             : std::to_string(differing) + " pixels differ from " + name + ".png (see " +
                                   name + ".actual.png and " + name + ".diff.png)";
        return false;
      }
      std::this_thread::sleep_for(kPollInterval);
    }
    Say(name + " matches the golden, " + Time());
    return Save(name, picture);
  }

  bool Step(const ScenarioStep& s) {
    const auto x = static_cast<int16_t>(s.x), y = static_cast<int16_t>(s.y);
    std::string answer;
    switch (s.kind) {
      case ScenarioStep::kTap:
        return Record("touch", TouchRecord(kPenPressure, x, y)) && Record("touch", TouchRecord(0, x, y));
      case ScenarioStep::kPress:
      case ScenarioStep::kMove:
        return Record("touch", TouchRecord(kPenPressure, x, y));
      case ScenarioStep::kRelease:
        return Record("touch", TouchRecord(0, x, y));
      case ScenarioStep::kKey:
        return Record("remote", RemoteRecord(RawKeyNumber(s.value)));
      case ScenarioStep::kWait:
        std::this_thread::sleep_for(std::chrono::milliseconds(s.value));
        return true;
      case ScenarioStep::kShot:
        return Shot(s.name);
      case ScenarioStep::kExpectShot:
        if (iOptions.refusal) {
          iWhy = "expect-shot on a framebuffer the program must refuse: use shot";
          return false;
        }
        return ExpectShot(s.name);
      case ScenarioStep::kExpectExit:
        if (!Command("exit", "exit ", answer)) return false;
        iRunning = false;
        if (answer != "exit " + std::to_string(s.value)) {
          iWhy = "the program ended with status " + answer.substr(5) + ", not " + std::to_string(s.value);
          return false;
        }
        Say("the program ended with status " + std::to_string(s.value) + ", " + Time());
        return true;
      case ScenarioStep::kReport:
        if (!Command("report", "report ", answer)) return false;
        Say("memory of the program on the board: " + answer.substr(7));
        return true;
      default:
        iWhy = "this command needs the emulator; the board has none of its roles";
        return false;
    }
  }

  std::string Console() const {
    std::ifstream f(iOptions.console, std::ios::binary);
    std::string text(kMaxConsole, '\0');
    f.read(&text[0], static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<size_t>(f.gcount()));
    return text;
  }

  bool WaitConsole(const std::string& needle, Clock::time_point deadline) {
    while (Clock::now() < deadline && QemuRunning()) {
      if (Console().find(needle) != std::string::npos) return true;
      std::this_thread::sleep_for(kPollInterval);
    }
    return false;
  }

  bool CheckConsole() {
    const std::string console = Console();
    bool ok = true;
    if (console.find("GetProcInt:") != std::string::npos) {
      ok = Fail("the program could not read the model number from the /proc/corvina stand-in");
    }
    std::smatch m;
    const std::regex mapped("Device mapped to address 0x[0-9A-F]+ successfully, parameters: ([^\r\n]*)");
    const bool found = std::regex_search(console, m, mapped);
    if (iOptions.refusal) {
      if (found) ok = Fail("the program mapped a framebuffer it must refuse: " + m.str(0));
      else Say("the program refused the framebuffer: no framebuffer line, nothing drawn");
    } else if (!found) {
      ok = Fail("the console has no framebuffer line of the program");
    } else if (m.str(1) != iOptions.mapped) {
      ok = Fail("the program mapped \"" + m.str(1) + "\", not \"" + iOptions.mapped + "\"");
    } else {
      Say("the console shows \"" + m.str(0) + "\"");
    }
    if (iFirstFrame >= 0) {
      char s[96];
      std::snprintf(s, sizeof s, "the program's first frame was on the screen %.1f s after QEMU started",
                    iFirstFrame);
      Say(s);
    }
    return ok;
  }

  Options iOptions;
  CLineChannel iQmp;
  CLineChannel iControl;
  CRgbPicture iBefore;
  bool iRunning = false;
  double iFirstFrame = -1;
  std::string iWhy;
};

bool ParseOptions(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    std::string* value = a == "--qemu-pid"   ? &o.qemuPid
                         : a == "--qmp"      ? &o.qmp
                         : a == "--control"  ? &o.control
                         : a == "--console"  ? &o.console
                         : a == "--scenario" ? &o.scenario
                         : a == "--goldens"  ? &o.goldens
                         : a == "--out"      ? &o.out
                         : a == "--mapped"   ? &o.mapped
                                             : nullptr;
    if (a == "--refusal") {
      o.refusal = true;
    } else if (value != nullptr && i + 1 < argc) {
      *value = argv[++i];
    } else {
      return false;
    }
  }
  char* end = nullptr;
  const long pid = o.qemuPid.empty() ? 0 : std::strtol(o.qemuPid.c_str(), &end, 10);
  if (pid <= 0 || *end != '\0') return false;
  gQemu = static_cast<pid_t>(pid);
  return !o.qmp.empty() && !o.control.empty() && !o.console.empty() && !o.scenario.empty() &&
         !o.goldens.empty() && !o.out.empty() && (o.refusal != !o.mapped.empty());
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!ParseOptions(argc, argv, o)) {
    std::fprintf(stderr,
                 "usage: board_driver --qemu-pid PID --qmp SOCKET --control SOCKET --console LOG --scenario FILE --goldens DIR "
                 "--out DIR (--mapped \"WxH, Dbpp\" | --refusal)\n");
    return 2;
  }
  std::vector<ScenarioStep> steps;
  std::string error;
  if (!ReadScenarioFile(o.scenario, steps, error)) {
    std::fprintf(stderr, "board: %s\n", error.c_str());
    return 2;
  }
  CBoard board(o);
  const bool ok = board.Run(steps);
  board.Quit();
  return ok ? 0 : 1;
}
