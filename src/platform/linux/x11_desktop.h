// The full-screen saver's own connection to the X server, where SDL has no answer: the monitors
// (SDL 2 sees a screen's RandR outputs, not its monitors), word of their changes, and where the
// pointer is. Used on the main thread only.
#pragma once

#include <memory>
#include <optional>

#include "app/window_system.h"

// Xlib's display, declared here so that Xlib's macros stay out of the files that include this.
struct _XDisplay;

namespace drevanti::linux_platform {

class X11Desktop {
 public:
  // Connects and asks the X server to announce every change of the monitors; throws DisplayError
  // when the display cannot be opened.
  X11Desktop();

  // The monitors RandR 1.5 reports and the whole screen, in root-window pixels.
  MonitorReport monitors();
  // True when the X server has announced a change since the last call. Does not wait.
  bool changed();
  std::optional<DesktopPoint> pointer();

 private:
  struct Closer {
    void operator()(_XDisplay* display) const;
  };
  std::unique_ptr<_XDisplay, Closer> display_;
  bool monitorsKnown_ = false;
};

}  // namespace drevanti::linux_platform
