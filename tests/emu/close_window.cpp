// close_window WINDOW-ID
// Presses a window's close button the way a window manager does: a
// WM_DELETE_WINDOW message to the window, which must have asked for it in
// its WM_PROTOCOLS. Exit status 0 when sent, 1 when the window does not take
// it or is gone, 2 for a bad call or no X display.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>

namespace {

bool gXError = false;

int NoteError(Display*, XErrorEvent*) {
  gXError = true;
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  char* end = nullptr;
  const unsigned long id = argc == 2 ? std::strtoul(argv[1], &end, 0) : 0;
  if (argc != 2 || id == 0 || *end != '\0') {
    std::fprintf(stderr, "usage: close_window WINDOW-ID\n");
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "close_window: cannot open the X display\n");
    return 2;
  }
  XSetErrorHandler(NoteError);
  const Window window = id;
  const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
  const Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
  Atom* list = nullptr;
  int count = 0;
  bool takesIt = false;
  if (XGetWMProtocols(display, window, &list, &count) != 0) {
    for (int i = 0; i < count; ++i) takesIt = takesIt || list[i] == deleteWindow;
    XFree(list);
  }
  if (!takesIt || gXError) {
    std::fprintf(stderr, "close_window: window %s does not take WM_DELETE_WINDOW\n", argv[1]);
    XCloseDisplay(display);
    return 1;
  }
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = window;
  e.xclient.message_type = protocols;
  e.xclient.format = 32;
  e.xclient.data.l[0] = static_cast<long>(deleteWindow);
  e.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, window, False, NoEventMask, &e);
  XSync(display, False);
  XCloseDisplay(display);
  if (gXError) {
    std::fprintf(stderr, "close_window: window %s is gone\n", argv[1]);
    return 1;
  }
  return 0;
}
