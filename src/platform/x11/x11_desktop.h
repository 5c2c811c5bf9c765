// The full-screen saver's own connection to the X server, where SDL has no answer: the monitors
// (SDL 2 sees a screen's RandR outputs, not its monitors), word of their changes, and where the
// pointer is. Used on the main thread only.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "app/backend.h"

// Xlib's display, declared here so that Xlib's macros stay out of the files that include this.
struct _XDisplay;

namespace drevanti::x11 {

class X11Desktop {
 public:
  // Connects and asks the X server to announce every change of the monitors; throws DisplayError
  // when the display cannot be opened.
  X11Desktop();

  // The monitors RandR 1.5 reports, in root-window pixels; the screen as the one monitor where it
  // reports none (or is older).
  std::vector<Monitor> monitors();
  // True when the X server has announced a change since the last call. Does not wait.
  bool changed();
  std::optional<DesktopPoint> pointer();
  // The connection's socket, to sleep on; and whether events wait already read from it (so that
  // a sleep on the socket would not see them).
  int connection() const;
  bool pending();

 private:
  struct Closer {
    void operator()(_XDisplay* display) const;
  };
  std::unique_ptr<_XDisplay, Closer> display_;
  bool monitorsKnown_ = false;
};

}  // namespace drevanti::x11
