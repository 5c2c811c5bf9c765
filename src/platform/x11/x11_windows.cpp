#include "x11_windows.h"

#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdlib>
#include <memory>
#include <string_view>

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

// The resource database's "Xft.dpi: 192" line over 96; 1 without one, or with a value of none.
double scaleOf(std::string_view resources) {
  constexpr std::string_view kName = "Xft.dpi:";
  double dpi = 0;
  while (!resources.empty()) {
    const std::size_t end = resources.find('\n');
    const std::string_view line = resources.substr(0, end);
    if (line.substr(0, kName.size()) == kName) {
      // The last one counts, as in a database merged line by line.
      dpi = std::strtod(std::string(line.substr(kName.size())).c_str(), nullptr);
    }
    if (end == std::string_view::npos) break;
    resources.remove_prefix(end + 1);
  }
  return dpi > 0 ? dpi / 96 : 1;
}

}  // namespace

double x11DesktopScale(Display* display) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0, left = 0;
  unsigned char* data = nullptr;
  const int read =
      XGetWindowProperty(display, DefaultRootWindow(display), XA_RESOURCE_MANAGER, 0, 1 << 20,
                         False, XA_STRING, &type, &format, &count, &left, &data);
  double scale = 1;
  if (read == Success && data && format == 8) {
    scale = scaleOf({reinterpret_cast<const char*>(data), count});
  }
  if (data) XFree(data);
  return scale;
}

double x11DesktopScale() {
  const Connection display = connect();
  return display ? x11DesktopScale(display.get()) : 1;
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

}  // namespace drevanti::x11
