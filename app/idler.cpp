#include "app/idler.h"

#include <cstdlib>

#include "app/capture.h"
#include "app/debug_log.h"
#include "app/directory_screen.h"
#include "app/edit_line_screen.h"
#include "app/file_screen.h"
#include "app/globals.h"
#include "app/server_link.h"

CIdler idler;

void CIdler::ResetForTesting() {
  pendingScreen = nullptr;
  pendingFinLine = nullptr;
  shownDepth = 0;
  nestEveryLevel = false;
}

void CIdler::Show(CUIEventLoop* loop, CUIScreen* screen, int32_t next, const char* finLine, bool ended) {
  loop->SetScreen(screen);
  loop->listener = this;
  status = next;
  if (ended && !nestEveryLevel && shownDepth != 0 && loop->RunDepth() == shownDepth) {
    pendingScreen = screen;
    pendingFinLine = finLine;
    loop->LeaveRun();
    return;
  }
  const int32_t outer = shownDepth;
  for (;;) {
    shownDepth = loop->RunDepth() + 1;
    screen->DoModal();
    if (pendingScreen == nullptr) break;
    // The level just left was finished: its successor runs here instead.
    screen = pendingScreen;
    finLine = pendingFinLine;
    pendingScreen = nullptr;
    pendingFinLine = nullptr;
    loop->SetScreen(screen);
    loop->listener = this;
  }
  shownDepth = outer;
  DebugLog(finLine);
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
