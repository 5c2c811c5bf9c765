#include "x11_workarounds.h"

#include <X11/Xlib.h>
#include <X11/Xproto.h>

#include <atomic>

namespace drevanti::x11 {

namespace {

XErrorHandler previous = nullptr;
std::atomic<unsigned long> hostWindow{0};
std::atomic<bool> hostGone{false};
// Errors are handled on the thread that reads them from its connection.
thread_local bool trapping = false;
thread_local bool trapped = false;

int filter(Display* display, XErrorEvent* error) {
  if (trapping) {
    trapped = true;
    return 0;
  }
  if (error->error_code == BadWindow && error->request_code == X_SendEvent) return 0;
  const unsigned long watched = hostWindow.load();
  if (watched != 0 && error->resourceid == watched) {
    hostGone = true;
    return 0;
  }
  // Once the host's window is gone, whatever SDL still does with it fails in turn: the events
  // still queued for it (a ConfigureNotify has it ask for the window's parent, then use the answer
  // it did not get), the drawing resources it made for it (a GC made for a window already gone
  // cannot be freed). All echoes of the same end.
  if (hostGone) return 0;
  return previous ? previous(display, error) : 0;
}

}  // namespace

void letLateWakeupsPass() {
  // Once only: SDL puts its own handler in front of this one and calls it from there, so setting
  // it again would make SDL's handler the one this passes errors on to, and the two would call
  // each other for ever.
  static const bool installed = [] {
    previous = XSetErrorHandler(filter);
    return true;
  }();
  (void)installed;
}

void watchHostWindow(unsigned long window) {
  hostGone = false;
  hostWindow = window;
}

bool hostWindowGone() {
  return hostGone.load();
}

bool x11Refuses(Display* display, const std::function<void()>& request) {
  XSync(display, False);
  trapping = true;
  trapped = false;
  request();
  XSync(display, False);
  trapping = false;
  return trapped;
}

}  // namespace drevanti::x11
