#include "ui/ui_seams.h"

#include "ui/event_loop.h"
#include "ui/keyboard.h"
#include "ui/skin.h"

void ResetUIForTesting() {
  ResetKeyboardsForTesting();
  ResetEventLoopForTesting();
  ResetSkinForTesting();
}
