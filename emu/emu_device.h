#pragma once
// The emulated device around one run of the program: its file-system (the
// device sandbox with the card at /mnt/sdcard, the display file at /dev/fb,
// FIFOs at /dev/ts and /dev/remote, a fresh /var/run with the registry,
// /proc/corvina/modelid) and every role the device's own software plays: the
// touch and remote drivers, the master UI process, the display controller,
// the launcher and the navigation server.
//
// Nothing here waits on its own: Tick does one round of the device's work,
// and the waits (for the display to settle, for the program to take its
// input or to end) tick until their condition holds or time runs out.

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "emu/device_services.h"
#include "emu/display_reader.h"
#include "emu/input_writer.h"
#include "emu/master_role.h"
#include "emu/process_info.h"
#include "emu/png_image.h"

struct EmuDeviceSetup {
  std::string card;
  bool writableCard = false;
  int32_t model = 27;
  std::vector<std::string> command;
  std::string logPath;
  // Lines about the device's services and the program's start and end.
  std::function<void(const std::string&)> report;
};

class CEmuDevice {
 public:
  using Clock = std::chrono::steady_clock;

  CEmuDevice() = default;
  ~CEmuDevice();
  CEmuDevice(const CEmuDevice&) = delete;
  CEmuDevice& operator=(const CEmuDevice&) = delete;

  // Makes the device and starts the program in it. False with the reason;
  // `noSandbox` tells that bubblewrap cannot make a sandbox here.
  bool Start(const EmuDeviceSetup& setup, std::string& error, bool* noSandbox);

  // One round: the services answer, the master makes the program active
  // once it is found, the display is watched, the program's end is noticed.
  void Tick();

  bool Running() const { return iChild > 0 && iExitStatus < 0; }
  // The exit status once the program has ended (128 + signal for a signal), -1 before.
  int ExitStatus() const { return iExitStatus; }

  const DisplayModel& Model() const { return iModel; }
  // The panel's picture now.
  void Picture(CRgbPicture& picture) const;
  // The number of times the display has changed; a window redraws on a new one.
  uint64_t Changes() const { return iChanges; }

  // Input, queued at once (for the window): false when a FIFO is full.
  bool QueueTouch(int16_t pressure, int16_t x, int16_t y);
  bool QueueKey(int32_t code);
  // True once the program has read every record queued.
  bool InputTaken() const { return iInput.Pending() == 0; }

  // Input, paced: the record is written and the call returns once the
  // program has read it and finished that pass. False on time-out.
  bool SendTouch(int16_t pressure, int16_t x, int16_t y, Clock::duration timeout, std::string& why);
  bool SendKey(int32_t code, Clock::duration timeout, std::string& why);

  // True once the display has changed at least once, all input is read and
  // the display has stayed the same for kSettlePasses passes of the program
  // and kSettleTime, or has only blinked since the last input: alternated
  // between two pictures, kBlinkChanges changes at least kBlinkMinPasses
  // passes apart. The settled picture goes to `picture`; of a blinking
  // display, the one of its two that comes first pixel by pixel. False with
  // the reason on time-out or when the program ends.
  bool WaitSettled(Clock::duration timeout, std::string& why, CRgbPicture* picture = nullptr);
  // Runs the device for a while.
  void Wait(Clock::duration time);
  // True when the program ended within the time-out.
  bool WaitExit(Clock::duration timeout);

  // Hands the display and input to another process of the device, which
  // paints the display grey, or back to the program.
  void SetProgramActive(bool active);
  bool ProgramActive() const { return iProgramActive; }

  // Takes the card out: every entry of the card folder moves to the folder
  // "<card>.pulled" beside it, as if the card were gone; InsertCard moves
  // them back, and so does Stop. Only for a writable card.
  bool PullCard(std::string& why);
  bool InsertCard(std::string& why);

  // The program's figures so far (false before it is found or after it ended).
  bool Figures(ProcessFigures& figures) const;
  Clock::duration SinceStart() const { return Clock::now() - iStarted; }
  // Time from each touch record written to the next change of the display.
  const std::vector<Clock::duration>& TouchLatencies() const { return iLatencies; }

  // Ends the program (if it still runs) and removes the device's folder.
  void Stop();

  // From a signal handler: every wait returns at once ("interrupted"), so
  // that the device is stopped and its folder removed.
  static void RequestStop();
  static bool StopRequested();

  static constexpr int kSettlePasses = 6;
  static constexpr size_t kBlinkChanges = 4;
  static constexpr uint64_t kBlinkMinPasses = 3;
  static constexpr std::chrono::milliseconds kSettleTime{300};
  static constexpr std::chrono::milliseconds kTickTime{5};
  // The colour that another process paints the display with.
  static constexpr uint16_t kOtherProcessColor = 0x8410;

 private:
  bool MakeDeviceFolder(std::string& error);
  bool WaitForPass(Clock::duration timeout, std::string& why);
  bool Taken(Clock::duration timeout, std::string& why);
  uint64_t ProgramPasses() const;
  void MarkStimulus();
  bool Blinking() const;
  static uint64_t FrameHash(const std::vector<uint8_t>& frame);
  void Report(const std::string& line) const {
    if (iSetup.report) iSetup.report(line);
  }

  EmuDeviceSetup iSetup;
  DisplayModel iModel;
  std::string iFolder;  // the device's folder on the host
  uint8_t* iDisplay = nullptr;
  std::vector<uint8_t> iLastFrame;
  std::vector<uint8_t> iPrevFrame;
  struct Change {
    uint64_t hash;
    uint64_t passes;
  };
  std::vector<Change> iHistory;  // the last changes since the last input
  uint64_t iChanges = 0;
  Clock::time_point iLastChange{};
  uint64_t iPassesAtChange = 0;
  CInputWriter iInput;
  CMasterRole iMaster;
  std::unique_ptr<CLauncherService> iLauncher;
  std::unique_ptr<CNavigationServer> iNavigation;
  bool iCardPulled = false;
  pid_t iChild = -1;      // the sandbox, as the host sees it
  pid_t iProgram = 0;     // the program, as the host sees it
  int32_t iProgramId = 0; // the program's own id inside the sandbox
  bool iProgramActive = true;
  int iExitStatus = -1;
  Clock::time_point iStarted{};
  Clock::time_point iTouchWritten{};
  bool iTouchAwaitingChange = false;
  std::vector<Clock::duration> iLatencies;
};
