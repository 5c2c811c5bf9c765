#include "x11_windows.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <memory>

#include "x11_workarounds.h"

namespace drevanti::linux_platform {

namespace {

struct DisplayCloser {
  void operator()(Display* display) const { XCloseDisplay(display); }
};
using Connection = std::unique_ptr<Display, DisplayCloser>;

Connection connect() {
  return Connection(XOpenDisplay(nullptr));
}

}  // namespace

std::optional<X11Screen> x11Screen() {
  const Connection display = connect();
  if (!display) return std::nullopt;
  X11Screen screen;
  screen.whole = {0, 0, DisplayWidth(display.get(), DefaultScreen(display.get())),
                  DisplayHeight(display.get(), DefaultScreen(display.get()))};
  int eventBase = 0, errorBase = 0, major = 0, minor = 0;
  if (XRRQueryExtension(display.get(), &eventBase, &errorBase) &&
      XRRQueryVersion(display.get(), &major, &minor) && (major > 1 || minor >= 5)) {
    int count = 0;
    XRRMonitorInfo* monitors =
        XRRGetMonitors(display.get(), DefaultRootWindow(display.get()), True, &count);
    for (int i = 0; i < count; ++i) {
      screen.monitors.push_back(
          {monitors[i].x, monitors[i].y, monitors[i].width, monitors[i].height});
    }
    if (monitors) XRRFreeMonitors(monitors);
  }
  return screen;
}

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

}  // namespace drevanti::linux_platform
