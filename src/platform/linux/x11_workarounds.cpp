#include "x11_workarounds.h"

#include <SDL_syswm.h>
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

bool withdrawX11Window(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
  Display* display = info.info.x11.display;
  XWithdrawWindow(display, info.info.x11.window, DefaultScreen(display));
  XSync(display, False);
  return true;
}

}  // namespace drevanti::linux_platform
