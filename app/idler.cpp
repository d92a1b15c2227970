#include "app/idler.h"

#include <cstdlib>
#include <cstring>

#include "app/capture.h"
#include "app/debug_log.h"
#include "app/directory_screen.h"
#include "app/edit_line_screen.h"
#include "app/file_screen.h"
#include "app/globals.h"
#include "app/server_link.h"
#include "ui/skin.h"

CIdler idler;

void CIdler::ResetForTesting() {
  pendingScreen = nullptr;
  pendingFinLine = nullptr;
  shownDepth = 0;
  resumedLevel = false;
  nestEveryLevel = false;
}

void CIdler::CFinishedLevels::Push(const Level& level) {
  if (count > 0) {
    Run& top = runs[count - 1];
    if (top.level.screen == level.screen && top.level.scheme == level.scheme && top.level.finLine == level.finLine) {
      ++top.repeats;
      return;
    }
  }
  if (count == kKeptFinishedLevels) {
    // The oldest record is given up.
    std::memmove(runs, runs + 1, sizeof runs[0] * (kKeptFinishedLevels - 1));
    --count;
  }
  runs[count++] = Run{level, 1};
}

CIdler::Level CIdler::CFinishedLevels::Pop() {
  Run& top = runs[count - 1];
  const Level level = top.level;
  if (--top.repeats == 0) --count;
  return level;
}

void CIdler::Show(CUIEventLoop* loop, CUIScreen* screen, int32_t next, const char* finLine, bool ended) {
  loop->SetScreen(screen);
  loop->listener = this;
  status = next;
  if (!nestEveryLevel && shownDepth != 0 && loop->RunDepth() == shownDepth && (ended || resumedLevel)) {
    pendingScreen = screen;
    pendingFinLine = finLine;
    loop->LeaveRun();
    return;
  }
  const int32_t outerDepth = shownDepth;
  const bool outerResumed = resumedLevel;
  shownDepth = loop->RunDepth() + 1;
  CFinishedLevels finished;
  Level running = {screen, GetSkin()->GetColorScheme(), finLine};
  resumedLevel = false;
  screen->DoModal();
  for (;;) {
    if (pendingScreen != nullptr) {
      // The running level was finished and left for a new one, which
      // starts under the scheme of the level it would have nested in.
      finished.Push(running);
      GetSkin()->SetColorScheme(running.screen->ColorSchemeIndex());
      running = Level{pendingScreen, GetSkin()->GetColorScheme(), pendingFinLine};
      pendingScreen = nullptr;
      pendingFinLine = nullptr;
      loop->SetScreen(running.screen);
      loop->listener = this;
      resumedLevel = false;
      running.screen->DoModal();
      continue;
    }
    if (resumedLevel) {
      // What the DoModal of a resumed level does once its run has ended.
      loop->quitRequested = false;
      loop->SetScreen(running.screen);
      loop->redrawRequested = true;
      GetSkin()->SetColorScheme(running.scheme);
    }
    DebugLog(running.finLine);
    if (finished.Empty()) break;
    // The finished level below goes on where it stopped.
    running = finished.Pop();
    resumedLevel = true;
    loop->ResumeRun();
  }
  shownDepth = outerDepth;
  resumedLevel = outerResumed;
}

void CIdler::OnIdle(CUIEventLoop* loop) {
  switch (status) {
    case initialization:
      DebugLog("Idle : debut status = initialization");
      dir_path = std::string(kCardRoot) + "/";
      status = directory_requested;
      DebugLog("Idle : fin status = initialization");
      break;
    case directory_requested:
      DebugLog("Idle : debut status = directory_requested");
      p_dir_screen->Refresh_Screen(dir_path);
      Show(loop, p_dir_screen, directory_active, "Idle : fin status = directory_requested", false);
      break;
    case directory_active:
      DebugLog("Idle : status = directory_active");
      break;
    case file_requested_from_dir:
      DebugLog("Idle : debut status = file_requested_from_dir");
      p_dir_screen->EndModal();
      p_file_screen->Refresh_Screen(file_path.c_str(), true);
      Show(loop, p_file_screen, file_active, "Idle : fin status = file_requested_from_dir", true);
      break;
    case file_requested_from_line:
      DebugLog("Idle : debut status = file_requested_from_line");
      // EndModal acts on the loop, whichever screen it is called on.
      p_dir_screen->EndModal();
      p_file_screen->Refresh_Screen(file_path.c_str(), false);
      Show(loop, p_file_screen, file_active, "Idle : fin status = file_requested_from_line", true);
      break;
    case file_active:
      DebugLog("Idle : status = file_active");
      break;
    case file_closed:
      DebugLog("Idle : debut status = file_closed");
      p_file_screen->EndModal();
      status = directory_requested;
      DebugLog("Idle : fin status = file_closed");
      break;
    case editline_requested:
      DebugLog("Idle : debut status = editline_requested");
      p_file_screen->EndModal();
      p_edit_screen->Refresh_Screen(line_text.data(), static_cast<uint32_t>(line_text.size()));
      Show(loop, p_edit_screen, editline_active, "Idle : fin status = editline_requested", true);
      break;
    case editline_active:
      DebugLog("Idle : status = editline_active");
      break;
    case editline_finished:
      DebugLog("Idle : debut status = editline_finished");
      p_edit_screen->EndModal();
      // A negative index becomes one past every table: the bounds stop.
      file_lines.Replace(static_cast<uint32_t>(line_index), line_text.data(),
                         static_cast<uint32_t>(line_text.size()));
      status = file_requested_from_line;
      DebugLog("Idle : fin status = editline_finished");
      break;
    case exit_requested:
      DebugLog("Idle : debut status = exit_requested");
      CaptureScreen("kestrel");
      CloseServerLink();
      status = exit_completed;
      DebugLog("Idle : fin status = exit_requested");
      break;
    case exit_completed:
      DebugLog("Idle : debut status = exit_completed");
      // From whatever depth: the exit handlers destroy the process's objects.
      std::exit(0);
    default:
      break;
  }
}
