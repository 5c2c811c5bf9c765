#include "x11_windows.h"

#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/quoted_text.h"
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

// The desktop's densities the scene is drawn at: a scale outside them is a mistaken setting, which
// would draw nothing visible, or fail for a font of that size.
constexpr double kLeastScale = 0.5, kGreatestScale = 8;

// The text after the resource database's last "Xft.dpi:" (the last counts, as in a database merged
// line by line), its leading spaces left out; nothing without one.
std::optional<std::string_view> dpiSetting(std::string_view resources) {
  constexpr std::string_view kName = "Xft.dpi:";
  std::optional<std::string_view> value;
  while (!resources.empty()) {
    const std::size_t end = resources.find('\n');
    const std::string_view line = resources.substr(0, end);
    if (line.substr(0, kName.size()) == kName) {
      const std::string_view text = line.substr(kName.size());
      value = text.substr(std::min(text.find_first_not_of(" \t"), text.size()));
    }
    if (end == std::string_view::npos) break;
    resources.remove_prefix(end + 1);
  }
  return value;
}

// The setting over 96; 1, with one line on standard error (not again until another value is
// ignored), when it is no number or gives a scale outside [kLeastScale, kGreatestScale].
double scaleOf(std::string_view dpi) {
  const std::string text(dpi);
  char* end = nullptr;
  const double scale = std::strtod(text.c_str(), &end) / 96;
  const bool number = end != text.c_str() && std::strspn(end, " \t") == std::strlen(end);
  if (number && std::isfinite(scale) && scale >= kLeastScale && scale <= kGreatestScale) {
    return scale;
  }
  // The main thread's: the monitors are read again at every change of the desktop.
  static std::string lastIgnored;
  if (text != lastIgnored) {
    std::fprintf(stderr, "drevanti: Xft.dpi %s ignored: the scene is drawn at %g to %g dpi\n",
                 quotedText(text).c_str(), kLeastScale * 96, kGreatestScale * 96);
    lastIgnored = text;
  }
  return 1;
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
    const auto dpi = dpiSetting({reinterpret_cast<const char*>(data), count});
    if (dpi) scale = scaleOf(*dpi);
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
