#include "ui/ui_seams.h"

#include "ui/event_loop.h"
#include "ui/skin.h"

void ResetUIForTesting() {
  ResetEventLoopForTesting();
  ResetSkinForTesting();
}
