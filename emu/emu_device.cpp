#include "emu/emu_device.h"

#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "emu/sandbox.h"

namespace {

volatile sig_atomic_t gStopRequested = 0;

int RemoveEntry(const char* path, const struct stat*, int, struct FTW*) {
  std::remove(path);
  return 0;
}

void RemoveTree(const std::string& path) {
  if (!path.empty()) nftw(path.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
}

bool WriteText(const std::string& path, const std::string& text) {
  FILE* f = std::fopen(path.c_str(), "w");
  if (f == nullptr) return false;
  bool ok = std::fputs(text.c_str(), f) >= 0;
  ok = std::fclose(f) == 0 && ok;
  return ok;
}

}  // namespace

CEmuDevice::~CEmuDevice() { Stop(); }

void CEmuDevice::RequestStop() { gStopRequested = 1; }
bool CEmuDevice::StopRequested() { return gStopRequested != 0; }

bool CEmuDevice::MakeDeviceFolder(std::string& error) {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp != nullptr && tmp[0] == '/' ? tmp : "/tmp") + "/kestrel-emu.XXXXXX";
  if (mkdtemp(&pattern[0]) == nullptr) {
    error = "cannot make the device's folder " + pattern + ": " + std::strerror(errno);
    return false;
  }
  iFolder = pattern;
  // Readable and writable for the program, which runs under another uid.
  chmod(iFolder.c_str(), 0755);
  const std::string run = iFolder + "/run", corvina = iFolder + "/corvina";
  if (mkdir(run.c_str(), 0777) != 0 || mkdir(corvina.c_str(), 0755) != 0 ||
      mkfifo((iFolder + "/ts").c_str(), 0666) != 0 || mkfifo((iFolder + "/remote").c_str(), 0666) != 0) {
    error = "cannot make the device's files in " + iFolder + ": " + std::strerror(errno);
    return false;
  }
  chmod(run.c_str(), 0777);
  if (!WriteText(corvina + "/modelid", std::to_string(iModel.model) + "\n")) {
    error = "cannot write " + corvina + "/modelid";
    return false;
  }
  // The display memory, all black, as the program maps it.
  const std::string fb = iFolder + "/fb";
  const int fd = open(fb.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0 || ftruncate(fd, static_cast<off_t>(iModel.Bytes())) != 0) {
    if (fd >= 0) close(fd);
    error = "cannot make the display file " + fb;
    return false;
  }
  fchmod(fd, 0666);
  void* p = mmap(nullptr, iModel.Bytes(), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  close(fd);
  if (p == MAP_FAILED) {
    error = "cannot map the display file " + fb;
    return false;
  }
  iDisplay = static_cast<uint8_t*>(p);
  iLastFrame.assign(iDisplay, iDisplay + iModel.Bytes());
  if (!iInput.Open(iFolder + "/ts", iFolder + "/remote")) {
    error = "cannot open the input FIFOs in " + iFolder;
    return false;
  }
  if (!iMaster.Create(run)) {
    error = "cannot make the registry " + run + "/uipidshm";
    return false;
  }
  auto report = [this](const std::string& line) { Report(line); };
  iLauncher = std::make_unique<CLauncherService>(report);
  if (!iLauncher->Listen(run + "/launchsock")) {
    error = "cannot listen on " + run + "/launchsock";
    return false;
  }
  iNavigation = std::make_unique<CNavigationServer>(run, report);
  return true;
}

bool CEmuDevice::Start(const EmuDeviceSetup& setup, std::string& error, bool* noSandbox) {
  if (noSandbox != nullptr) *noSandbox = false;
  iSetup = setup;
  iModel = ModelDisplay(setup.model);
  struct stat st;
  if (stat(setup.card.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    error = "the card folder " + setup.card + " is not a folder";
    return false;
  }
  if (setup.command.empty()) {
    error = "no program to run";
    return false;
  }
  if (!MakeDeviceFolder(error)) return false;

  SandboxOptions o;
  o.procCorvina = true;
  o.cardDir = setup.card;
  o.cardWritable = setup.writableCard;
  o.binds = {{iFolder + "/fb", "/dev/fb"},
             {iFolder + "/ts", "/dev/ts"},
             {iFolder + "/remote", "/dev/remote"},
             {iFolder + "/run", SandboxRunDir()},
             {iFolder + "/corvina", "/proc/corvina"}};
  for (const std::string& word : setup.command)
    if (!word.empty() && word[0] == '/') o.keepVisible.push_back(word);
  std::string why;
  if (!SandboxAvailable(o, &why)) {
    error = why;
    if (noSandbox != nullptr) *noSandbox = true;
    return false;
  }
  const int log = open(setup.logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (log < 0) {
    error = "cannot write the program's log " + setup.logPath + ": " + std::strerror(errno);
    return false;
  }
  std::vector<std::string> args = SandboxCommand(o, setup.command);
  iStarted = Clock::now();
  iChild = fork();
  if (iChild == 0) {
    dup2(log, 1);
    dup2(log, 2);
    const int devnull = open("/dev/null", O_RDONLY);
    if (devnull >= 0) dup2(devnull, 0);
    std::vector<char*> argv;
    for (auto& s : args) argv.push_back(&s[0]);
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(log);
  if (iChild < 0) {
    error = std::string("cannot start the sandbox: ") + std::strerror(errno);
    return false;
  }
  return true;
}

uint64_t CEmuDevice::ProgramPasses() const {
  ProcessFigures f;
  return iProgram > 0 && ReadProcessFigures(iProgram, f) ? f.voluntarySwitches : 0;
}

bool CEmuDevice::Figures(ProcessFigures& figures) const {
  return iProgram > 0 && Running() && ReadProcessFigures(iProgram, figures);
}

void CEmuDevice::Tick() {
  if (iChild <= 0) return;
  if (iExitStatus < 0) {
    int status = 0;
    const pid_t r = waitpid(iChild, &status, WNOHANG);
    if (r == iChild) {
      iExitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      Report("the program ended with status " + std::to_string(iExitStatus));
    }
  }
  if (iExitStatus < 0 && iProgram == 0) {
    iProgram = FindSandboxedProgram(iChild);
    if (iProgram > 0) {
      ProcessFigures f;
      ReadProcessFigures(iProgram, f);
      iProgramId = f.innerPid;
      if (iProgramActive) iMaster.SetActive(iProgramId);
    }
  }
  if (iLauncher) iLauncher->Serve();
  if (iNavigation) iNavigation->Serve();
  if (iDisplay != nullptr && std::memcmp(iDisplay, iLastFrame.data(), iLastFrame.size()) != 0) {
    iPrevFrame.swap(iLastFrame);
    iLastFrame.assign(iDisplay, iDisplay + iModel.Bytes());
    ++iChanges;
    iLastChange = Clock::now();
    iPassesAtChange = ProgramPasses();
    if (iHistory.size() == kBlinkChanges) iHistory.erase(iHistory.begin());
    iHistory.push_back({FrameHash(iLastFrame), iPassesAtChange});
    if (iTouchAwaitingChange) {
      iLatencies.push_back(iLastChange - iTouchWritten);
      iTouchAwaitingChange = false;
    }
  }
}

void CEmuDevice::Picture(CRgbPicture& picture) const {
  if (iDisplay == nullptr) {
    picture.Resize(iModel.width, iModel.height);
    return;
  }
  ReadDisplay(iModel, iDisplay, picture);
}

bool CEmuDevice::QueueTouch(int16_t pressure, int16_t x, int16_t y) {
  if (!iInput.Touch(pressure, x, y)) return false;
  iTouchWritten = Clock::now();
  iTouchAwaitingChange = true;
  return true;
}

bool CEmuDevice::QueueKey(int32_t code) { return iInput.Key(code); }

bool CEmuDevice::WaitForPass(Clock::duration timeout, std::string& why) {
  const Clock::time_point end = Clock::now() + timeout;
  const uint64_t start = ProgramPasses();
  while (Clock::now() < end) {
    Tick();
    if (!Running()) {
      why = "the program ended (status " + std::to_string(iExitStatus) + ")";
      return false;
    }
    if (iProgram == 0 || ProgramPasses() > start) return true;
    if (StopRequested()) break;
    std::this_thread::sleep_for(kTickTime);
  }
  why = StopRequested() ? "interrupted" : "the program made no pass";
  return false;
}

bool CEmuDevice::Taken(Clock::duration timeout, std::string& why) {
  const Clock::time_point end = Clock::now() + timeout;
  while (iInput.Pending() > 0) {
    Tick();
    if (!Running()) {
      why = "the program ended (status " + std::to_string(iExitStatus) + ") before it read its input";
      return false;
    }
    if (StopRequested()) {
      why = "interrupted";
      return false;
    }
    if (Clock::now() >= end) {
      why = iProgramActive ? "the program did not read its input" :
                             "the program did not read its input (another process has the display: see \"active\")";
      return false;
    }
    std::this_thread::sleep_for(kTickTime);
  }
  // The pass that read the record ends with its sleep.
  if (!WaitForPass(end - Clock::now(), why)) return false;
  MarkStimulus();
  return true;
}

uint64_t CEmuDevice::FrameHash(const std::vector<uint8_t>& frame) {
  uint64_t h = 1469598103934665603ull;  // FNV-1a
  for (uint8_t b : frame) h = (h ^ b) * 1099511628211ull;
  return h;
}

bool CEmuDevice::Blinking() const {
  // The last changes alternate between two pictures, each shown for a few
  // passes: a blinking cursor, not a screen being drawn.
  if (iProgram == 0 || iHistory.size() < kBlinkChanges || iPrevFrame.size() != iLastFrame.size()) return false;
  const size_t n = iHistory.size();
  for (size_t i = 2; i < n; ++i)
    if (iHistory[i].hash != iHistory[i - 2].hash) return false;
  if (iHistory[n - 1].hash == iHistory[n - 2].hash) return false;
  for (size_t i = 1; i < n; ++i)
    if (iHistory[i].passes < iHistory[i - 1].passes + kBlinkMinPasses) return false;
  return ProgramPasses() >= iPassesAtChange + 1;
}

void CEmuDevice::MarkStimulus() {
  iHistory.clear();
  // What the program does next counts as fresh: a settled display is one
  // that stays the same for a while after it.
  iLastChange = Clock::now();
  iPassesAtChange = ProgramPasses();
}

bool CEmuDevice::SendTouch(int16_t pressure, int16_t x, int16_t y, Clock::duration timeout, std::string& why) {
  if (!QueueTouch(pressure, x, y)) {
    why = "the touch screen's FIFO is full";
    return false;
  }
  return Taken(timeout, why);
}

bool CEmuDevice::SendKey(int32_t code, Clock::duration timeout, std::string& why) {
  if (!QueueKey(code)) {
    why = "the remote's FIFO is full";
    return false;
  }
  return Taken(timeout, why);
}

bool CEmuDevice::WaitSettled(Clock::duration timeout, std::string& why, CRgbPicture* picture) {
  const Clock::time_point end = Clock::now() + timeout;
  while (true) {
    Tick();
    const Clock::time_point now = Clock::now();
    if (!Running()) {
      why = "the program ended (status " + std::to_string(iExitStatus) + ") before the display settled";
      return false;
    }
    const bool quiet = now - iLastChange >= kSettleTime &&
                       (iProgram == 0 || ProgramPasses() >= iPassesAtChange + kSettlePasses);
    if (iChanges > 0 && iInput.Pending() == 0 && quiet) {
      if (picture != nullptr) ReadDisplay(iModel, iLastFrame.data(), *picture);
      return true;
    }
    if (iInput.Pending() == 0 && Blinking()) {
      // Of the two pictures the one that comes first pixel by pixel, so
      // that a shot does not depend on the moment it is taken.
      if (picture != nullptr) {
        CRgbPicture other;
        ReadDisplay(iModel, iLastFrame.data(), *picture);
        ReadDisplay(iModel, iPrevFrame.data(), other);
        if (other.rgb < picture->rgb) *picture = std::move(other);
      }
      return true;
    }
    if (StopRequested()) {
      why = "interrupted";
      return false;
    }
    if (now >= end) {
      why = iChanges == 0 ? "the display never changed" : "the display did not settle";
      if (iProgram == 0) why += " (the program was not found in the sandbox)";
      return false;
    }
    std::this_thread::sleep_for(kTickTime);
  }
}

void CEmuDevice::Wait(Clock::duration time) {
  const Clock::time_point end = Clock::now() + time;
  do {
    Tick();
    std::this_thread::sleep_for(kTickTime);
  } while (Clock::now() < end && !StopRequested());
}

bool CEmuDevice::WaitExit(Clock::duration timeout) {
  const Clock::time_point end = Clock::now() + timeout;
  while (Running() && Clock::now() < end && !StopRequested()) {
    Tick();
    if (Running()) std::this_thread::sleep_for(kTickTime);
  }
  return !Running();
}

void CEmuDevice::SetProgramActive(bool active) {
  iProgramActive = active;
  MarkStimulus();
  if (active) {
    iMaster.SetActive(iProgramId);
    return;
  }
  // The sandbox's first process stands for the device's other UI process.
  iMaster.SetActive(1);
  // A flush the program began while it was active ends within its pass.
  std::string why;
  WaitForPass(std::chrono::seconds(5), why);
  if (iDisplay == nullptr) return;
  for (size_t i = 0; i + 1 < iModel.Bytes(); i += 2) std::memcpy(iDisplay + i, &kOtherProcessColor, 2);
}

namespace {

// Moves every entry of `from` into `to`; false with the reason at the first that fails.
bool MoveEntries(const std::string& from, const std::string& to, std::string& why) {
  DIR* d = opendir(from.c_str());
  if (d == nullptr) {
    why = "cannot read " + from + ": " + std::strerror(errno);
    return false;
  }
  std::vector<std::string> names;
  while (dirent* e = readdir(d)) {
    if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) names.emplace_back(e->d_name);
  }
  closedir(d);
  for (const std::string& n : names) {
    if (rename((from + "/" + n).c_str(), (to + "/" + n).c_str()) != 0) {
      why = "cannot move " + from + "/" + n + ": " + std::strerror(errno);
      return false;
    }
  }
  return true;
}

}  // namespace

bool CEmuDevice::PullCard(std::string& why) {
  if (!iSetup.writableCard) {
    why = "pull-card needs --writable-card (the card's entries are moved)";
    return false;
  }
  if (iCardPulled) return true;
  const std::string aside = iSetup.card + ".pulled";
  if (mkdir(aside.c_str(), 0755) != 0) {
    why = "cannot make " + aside + ": " + std::strerror(errno);
    return false;
  }
  iCardPulled = true;
  MarkStimulus();
  return MoveEntries(iSetup.card, aside, why);
}

bool CEmuDevice::InsertCard(std::string& why) {
  if (!iCardPulled) return true;
  const std::string aside = iSetup.card + ".pulled";
  if (!MoveEntries(aside, iSetup.card, why)) return false;
  rmdir(aside.c_str());
  iCardPulled = false;
  MarkStimulus();
  return true;
}

void CEmuDevice::Stop() {
  std::string why;
  if (iCardPulled && !InsertCard(why)) Report(why);
  if (iChild > 0 && iExitStatus < 0) {
    kill(iChild, SIGTERM);
    const Clock::time_point end = Clock::now() + std::chrono::seconds(5);
    int status = 0;
    pid_t r;
    while ((r = waitpid(iChild, &status, WNOHANG)) == 0 && Clock::now() < end)
      std::this_thread::sleep_for(kTickTime);
    if (r == 0) {
      kill(iChild, SIGKILL);
      waitpid(iChild, &status, 0);
    }
    iExitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  iChild = -1;
  iLauncher.reset();
  iNavigation.reset();
  if (iDisplay != nullptr) {
    munmap(iDisplay, iModel.Bytes());
    iDisplay = nullptr;
  }
  RemoveTree(iFolder);
  iFolder.clear();
}
