#include "x11_error_filter.h"

#include <X11/Xlib.h>
#include <X11/Xproto.h>

namespace drevanti::linux_platform {

namespace {

XErrorHandler previous = nullptr;

int filter(Display* display, XErrorEvent* error) {
  if (error->error_code == BadWindow && error->request_code == X_SendEvent) return 0;
  return previous ? previous(display, error) : 0;
}

}  // namespace

void letLateWakeupsPass() {
  XErrorHandler replaced = XSetErrorHandler(filter);
  if (replaced != filter) previous = replaced;
}

}  // namespace drevanti::linux_platform
