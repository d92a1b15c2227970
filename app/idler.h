#pragma once
// CIdler: the application state machine. The event loop calls OnIdle once
// per pass; OnIdle performs the step of the current `status`: it moves data
// between the screens and shows the next screen modally. The screens'
// handlers only write the shared strings and `status`.
//
// Showing a screen runs its DoModal, a nested Run of the loop. Where a step
// has just ended the current screen (EndModal) and shows the next one, the
// level of the ended screen is finished: it would only go on once the new
// level has ended. Nesting every new level on the finished ones would add a
// level per directory -> file -> directory cycle until the stack overflows.
// Instead a finished level is left (CUIEventLoop::LeaveRun) right after this
// call, and the Show below it, which started it, runs the new level in its
// place and keeps the finished one as a record: the screen it showed, its
// "fin" line and colour scheme. When the new level ends, the finished level
// goes on from that record (CUIEventLoop::ResumeRun) exactly where the nested
// order has it go on, so the states, screen operations and trace lines come
// in the nested order and the loop's depth stays at two levels.
//
// The records of finished levels that follow one another alike (a folder
// opened again and again) are counted, not repeated; kKeptFinishedLevels
// different ones are kept, the oldest given up past them. Only a user who
// ends that many levels in a row, in consecutive passes, could see the
// difference: the oldest levels end without their "fin" lines.

#include <cstdint>

#include "ui/event_loop.h"

class CUIScreen;

class CIdler final : public CUIEventLoop::MUIEventLoopEvents {
 public:
  static constexpr int32_t kKeptFinishedLevels = 64;

  void OnIdle(CUIEventLoop* loop) override;
  // Every show nests a level, as without the unwinding: tests compare both.
  void SetNestingForTesting(bool nest) { nestEveryLevel = nest; }
  void ResetForTesting();

 private:
  // Shows `screen` (SetScreen, this as the listener, `next` as status,
  // DoModal) and writes `finLine` once the level of the screen shown last
  // has ended. `ended`: the step has just ended the current screen.
  void Show(CUIEventLoop* loop, CUIScreen* screen, int32_t next, const char* finLine, bool ended);

  // A level as the nested order would keep it on the stack: the screen its
  // DoModal showed, the colour scheme that DoModal found, and the line its
  // showing step writes once it has ended.
  struct Level {
    CUIScreen* screen;
    int32_t scheme;
    const char* finLine;
  };
  // Finished levels below the running one, newest last; runs of equal
  // levels counted.
  class CFinishedLevels {
   public:
    bool Empty() const { return count == 0; }
    void Push(const Level& level);
    Level Pop();

   private:
    struct Run {
      Level level;
      uint64_t repeats;
    };
    Run runs[kKeptFinishedLevels];
    int32_t count = 0;
  };

  // A show left to the Show below the current level.
  CUIScreen* pendingScreen = nullptr;
  const char* pendingFinLine = nullptr;
  // The RunDepth of the level that the innermost Show runs; 0: none.
  int32_t shownDepth = 0;
  // That level goes on from a record: it was finished when it was left.
  bool resumedLevel = false;
  bool nestEveryLevel = false;
};

extern CIdler idler;
