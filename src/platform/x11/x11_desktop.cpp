#include "x11_desktop.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include "sdl_session.h"
#include "x11_windows.h"

namespace drevanti::x11 {

void X11Desktop::Closer::operator()(Display* display) const {
  XCloseDisplay(display);
}

X11Desktop::X11Desktop() : display_(XOpenDisplay(nullptr)) {
  if (!display_) throw DisplayError("cannot open the X display to follow its monitors");
  Display* display = display_.get();
  const Window root = DefaultRootWindow(display);
  int eventBase = 0, errorBase = 0, major = 0, minor = 0;
  const bool randr = XRRQueryExtension(display, &eventBase, &errorBase) &&
                     XRRQueryVersion(display, &major, &minor);
  monitorsKnown_ = randr && (major > 1 || minor >= 5);
  if (randr) {
    // Outputs plugged in or out, and modes changed, are RandR's own notifications.
    XRRSelectInput(display, root,
                   RRScreenChangeNotifyMask | RRCrtcChangeNotifyMask | RROutputChangeNotifyMask);
  }
  // Monitors set or deleted by hand (xrandr --setmonitor, --delmonitor) are announced only as a
  // ConfigureNotify of the root window; a new Xft.dpi as a change of its resources' property.
  XSelectInput(display, root, StructureNotifyMask | PropertyChangeMask);
  XFlush(display);
}

std::vector<Monitor> X11Desktop::monitors() {
  Display* display = display_.get();
  std::vector<Monitor> found;
  const double scale = x11DesktopScale(display);
  int count = 0;
  XRRMonitorInfo* monitors =
      monitorsKnown_ ? XRRGetMonitors(display, DefaultRootWindow(display), True, &count) : nullptr;
  for (int i = 0; i < count; ++i) {
    found.push_back({monitors[i].x, monitors[i].y, monitors[i].width, monitors[i].height, scale});
  }
  if (monitors) XRRFreeMonitors(monitors);
  if (found.empty()) {
    found.push_back({0, 0, DisplayWidth(display, DefaultScreen(display)),
                     DisplayHeight(display, DefaultScreen(display)), scale});
  }
  return found;
}

bool X11Desktop::changed() {
  bool announced = false;
  while (XPending(display_.get()) > 0) {
    XEvent event;
    XNextEvent(display_.get(), &event);
    // Of the root window's properties only its resources tell of the monitors (their scale).
    if (event.type == PropertyNotify && event.xproperty.atom != XA_RESOURCE_MANAGER) continue;
    // Keeps the screen's size that DisplayWidth and DisplayHeight give up to date.
    XRRUpdateConfiguration(&event);
    announced = true;
  }
  return announced;
}

int X11Desktop::connection() const {
  return ConnectionNumber(display_.get());
}

bool X11Desktop::pending() {
  return XPending(display_.get()) > 0;
}

std::optional<DesktopPoint> X11Desktop::pointer() {
  Window root = 0, child = 0;
  int x = 0, y = 0, windowX = 0, windowY = 0;
  unsigned int buttons = 0;
  if (!XQueryPointer(display_.get(), DefaultRootWindow(display_.get()), &root, &child, &x, &y,
                     &windowX, &windowY, &buttons)) {
    return std::nullopt;  // on another screen of the display
  }
  return DesktopPoint{static_cast<float>(x), static_cast<float>(y)};
}

}  // namespace drevanti::x11
