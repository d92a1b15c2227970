#include "ui/event_loop.h"

#include <unistd.h>

#include <memory>
#include <new>

#include "device/process_registry.h"
#include "sysutil/platform_time.h"
#include "ui/widget.h"

namespace {
std::unique_ptr<CUIEventLoop> gLoop;
// The active process id that the previous pass read, in every loop of the process.
int32_t lastActivePid = 0;
}  // namespace

CUIEventLoop::CUIEventLoop() : input(GetInputReader()), display(GetVirtualScreen()) {}

void CUIEventLoop::Run() {
  quitRequested = false;
  redrawRequested = false;
  if (screen != nullptr) {
    screen->Draw();
    display->Flush(true);
  }
  ++runDepth;
  Passes();
  --runDepth;
}

void CUIEventLoop::ResumeRun() {
  ++runDepth;
  // The flush that the interrupted pass's start may have asked for is
  // made by the redraw that a returning modal run always requests.
  FinishPass(false);
  if (leaveRequested) {
    leaveRequested = false;
  } else {
    SleepMicroseconds(kPassMicroseconds);
    Passes();
  }
  --runDepth;
}

void CUIEventLoop::Passes() {
  while (!quitRequested) {
    ProcessEvents();
    if (leaveRequested) {
      leaveRequested = false;
      break;
    }
    SleepMicroseconds(kPassMicroseconds);
  }
}

void CUIEventLoop::ProcessEvents() {
  // Becoming the active UI process shows this process's picture again.
  const int32_t active = GetActivePid();
  const bool flush = active != lastActivePid && active == static_cast<int32_t>(getpid());
  lastActivePid = active;
  if (listener != nullptr) listener->OnIdle(this);
  if (leaveRequested) return;
  FinishPass(flush);
}

void CUIEventLoop::FinishPass(bool flush) {
  if (screen != nullptr) {
    // Each handler's answer replaces the last: a later false cancels a flush.
    InputEvent event = {0, 0, 0};
    if (input->ReadTouch(event)) flush = screen->OnTouch(event);
    int32_t key = 0;
    if (input->ReadKey(key)) flush = screen->OnKey(key);
  }
  if (redrawRequested && !quitRequested && screen != nullptr) {
    screen->Draw();
    redrawRequested = false;
    flush = true;
  }
  if (flush) display->Flush(true);
}

CUIEventLoop* GetEventLoop() {
  if (gLoop == nullptr) gLoop.reset(new (std::nothrow) CUIEventLoop());
  return gLoop.get();
}

void ResetEventLoopForTesting() {
  gLoop.reset();
  lastActivePid = 0;
}
