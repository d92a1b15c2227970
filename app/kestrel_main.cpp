// The kestrel program. Its display piece (the kernel framebuffer, or the
// emulator's display file) is chosen when it links.
#include "app/application.h"
#include "device/virtual_screen.h"

namespace {
// The shadow screen and the display exist before main, as the device's
// user-interface programs expect; only the program does this, so a test
// that links the application opens no display.
MVirtualScreen* const gScreenAtStart = GetVirtualScreen();
}  // namespace

int main(int argc, char** argv) { return KestrelMain(argc, argv); }
