#pragma once
// CIdler: the application state machine. The event loop calls OnIdle once
// per pass; OnIdle performs the step of the current `status`: it moves data
// between the screens and shows the next screen modally. The screens'
// handlers only write the shared strings and `status`.
//
// Showing a screen runs its DoModal, a nested Run of the loop. Where a step
// has just ended the current screen (EndModal) and shows the next one, the
// level of the ended screen is finished: nesting the new level on it would
// add one level per directory -> file -> directory cycle until the stack
// overflows. Instead that level is left (CUIEventLoop::LeaveRun) right after
// this call, and the Show below it, which started it, shows the new screen
// in its place. The loop would have gone on the same way in both places, so
// the states, screen operations and trace lines come in the nested order;
// only the "fin" line of a finished level, which the nested order writes
// when that level ends in turn, is not kept. The depth stays at two levels.

#include <cstdint>

#include "ui/event_loop.h"

class CUIScreen;

class CIdler final : public CUIEventLoop::MUIEventLoopEvents {
 public:
  void OnIdle(CUIEventLoop* loop) override;
  // Every show nests a level, as without the unwinding: tests compare both.
  void SetNestingForTesting(bool nest) { nestEveryLevel = nest; }
  void ResetForTesting();

 private:
  // Shows `screen` (SetScreen, this as the listener, `next` as status,
  // DoModal) and writes `finLine` once the level of the screen shown last
  // has ended. `ended`: the step has just ended the current screen.
  void Show(CUIEventLoop* loop, CUIScreen* screen, int32_t next, const char* finLine, bool ended);

  // A show left to the Show below the current level.
  CUIScreen* pendingScreen = nullptr;
  const char* pendingFinLine = nullptr;
  // The RunDepth of the level that the innermost Show runs; 0: none.
  int32_t shownDepth = 0;
  bool nestEveryLevel = false;
};

extern CIdler idler;
