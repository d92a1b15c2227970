#include "app/application.h"

#include "app/config.h"
#include "app/directory_screen.h"
#include "app/edit_line_screen.h"
#include "app/file_screen.h"
#include "app/globals.h"
#include "app/idler.h"
#include "app/server_link.h"
#include "ui/event_loop.h"
#include "ui/skin.h"

int InitApplication(int, char**) {
  ReadConfig();
  dir_path.clear();
  file_path.clear();
  line_text.clear();
  p_dir_screen = new CDirectory_Screen();
  p_file_screen = new CFile_Screen();
  p_edit_screen = new CEditLine_Screen();
  status = initialization;
  if (!OpenServerLink()) return 1;
  GetVirtualScreen()->Flush(true);
  CUIEventLoop* loop = GetEventLoop();
  loop->SetScreen(p_dir_screen);
  loop->listener = &idler;
  return 0;
}

int KestrelMain(int argc, char** argv) {
  // The folder that holds the skin: the first argument when there are two.
  SetSkinFolder(argc >= 3 ? argv[1] : "/mnt/sdcard/");
  if (InitApplication(argc, argv) != 0) return 0;
  CUIEventLoop* loop = GetEventLoop();
  auto* screen = static_cast<CUIScreen*>(loop->GetScreen());
  if (screen != nullptr) {
    GetSkin()->SetColorScheme(screen->ColorSchemeIndex());
    loop->Run();
  }
  return 0;
}
