#include "x11_windows.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <memory>

#include "x11_workarounds.h"

namespace drevanti::x11 {

namespace {

struct DisplayCloser {
  void operator()(Display* display) const { XCloseDisplay(display); }
};
using Connection = std::unique_ptr<Display, DisplayCloser>;

Connection connect() {
  return Connection(XOpenDisplay(nullptr));
}

}  // namespace

unsigned long x11RootWindow() {
  const Connection display = connect();
  return display ? DefaultRootWindow(display.get()) : 0;
}

std::optional<ScreenSize> x11WindowSize(unsigned long window) {
  const Connection display = connect();
  if (!display) return std::nullopt;
  XWindowAttributes attributes{};
  const Status known = XGetWindowAttributes(display.get(), window, &attributes);
  XSync(display.get(), False);
  if (!known || hostWindowGone()) return std::nullopt;
  return ScreenSize{attributes.width, attributes.height};
}

void x11FollowForeignWindow(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return;
  Display* display = info.info.x11.display;
  XWindowAttributes attributes{};
  if (!XGetWindowAttributes(display, info.info.x11.window, &attributes)) return;
  XSelectInput(display, info.info.x11.window, attributes.your_event_mask | StructureNotifyMask);
  XFlush(display);
  SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
}

bool x11WindowDestroyed(const SDL_Event& event, unsigned long window) {
  if (event.type != SDL_SYSWMEVENT || event.syswm.msg->subsystem != SDL_SYSWM_X11) return false;
  const XEvent& x = event.syswm.msg->msg.x11.event;
  return x.type == DestroyNotify && x.xdestroywindow.window == window;
}

}  // namespace drevanti::x11
