#pragma once
// CUIEventLoop: the one loop of the process. Each pass reads which process
// owns the display, lets the idle listener run, hands at most one touch
// sample and one key to the current screen, redraws on request and flushes
// the shadow screen when anything asked for it; then it sleeps 50 ms. Run
// may nest: a screen shown modally runs the loop again from inside a pass.

#include <cstdint>

#include "device/input_reader.h"
#include "device/virtual_screen.h"

class MUIWidget;

class CUIEventLoop {
 public:
  // Told once per pass, before input is read.
  class MUIEventLoopEvents {
   public:
    virtual void OnIdle(CUIEventLoop* loop) = 0;

   protected:
    // Listeners are never destroyed through the loop.
    ~MUIEventLoopEvents() = default;
  };

  // The pause between passes.
  static constexpr uint32_t kPassMicroseconds = 50000;

  // Takes the input reader and the virtual screen of this moment.
  CUIEventLoop();
  virtual ~CUIEventLoop() = default;
  CUIEventLoop(const CUIEventLoop&) = delete;
  CUIEventLoop& operator=(const CUIEventLoop&) = delete;

  // Makes the screen current (may be null); draws nothing.
  void SetScreen(MUIWidget* newScreen) { screen = newScreen; }
  MUIWidget* GetScreen() const { return screen; }
  // Draws and flushes the current screen, then runs passes until a pass
  // ends with quitRequested set.
  void Run();
  // One pass.
  void ProcessEvents();
  // Ends the innermost Run as soon as the idle listener returns: the rest of
  // that pass and its sleep are skipped, so a caller below that Run can go on
  // in its place exactly where the Run would have gone on. The application
  // leaves a level so instead of nesting a new one above a level it ended.
  void LeaveRun() { leaveRequested = true; }
  // Goes on with a Run whose pass was interrupted once its idle listener
  // had returned: the rest of that pass (input, redraw, flush), its sleep,
  // then passes until quitRequested, as a Run goes on once a modal run
  // nested in its listener has returned. It counts as a Run and can be left.
  // The application resumes a level so that it had left earlier.
  void ResumeRun();
  // How many Runs are under way, nested ones included.
  int32_t RunDepth() const { return runDepth; }

  MUIEventLoopEvents* listener = nullptr;
  bool quitRequested = false;
  bool redrawRequested = false;

 private:
  // Passes until quitRequested or LeaveRun.
  void Passes();
  // A pass after its idle listener: input, redraw, flush.
  void FinishPass(bool flush);

  MUIWidget* screen = nullptr;
  bool leaveRequested = false;
  int32_t runDepth = 0;
  MInputReader* input;
  MVirtualScreen* display;
};

// The process-wide loop, made on first use and destroyed at exit.
CUIEventLoop* GetEventLoop();

// Destroys the loop and forgets the active process id of the last pass.
void ResetEventLoopForTesting();
