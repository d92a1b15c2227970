#include "app/app_seams.h"

#include "app/capture.h"
#include "app/debug_log.h"
#include "app/directory_screen.h"
#include "app/edit_line_screen.h"
#include "app/file_screen.h"
#include "app/globals.h"
#include "app/idler.h"
#include "app/server_link.h"

void ResetApplicationForTesting() {
  delete p_dir_screen;
  delete p_file_screen;
  delete p_edit_screen;
  p_dir_screen = nullptr;
  p_file_screen = nullptr;
  p_edit_screen = nullptr;
  ResetGlobalsForTesting();
  CloseServerLink();
  SetFileLayerFactoryForTesting(nullptr);
  DebugLogClose();
  ResetCaptureForTesting();
  idler.ResetForTesting();
}
