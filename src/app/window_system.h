// What the window owner asks of a backend, and what the backend tells it. A backend only opens and
// closes windows, shows frames and translates its window system's events into these calls; what
// the events mean (which monitors get a window, which input ends the run, what a new size, an
// exposure or a vanished host window does) is decided once, by the WindowOwner.
#pragma once

#include <chrono>
#include <optional>
#include <vector>

#include "app/hosted_window.h"
#include "app/monitor_layout.h"
#include "app/saver_input.h"
#include "app/screen_size.h"

namespace drevanti {

// The owner's name for one of its windows, given when it asks the backend to open it.
using WindowKey = int;
// Events that belong to no window of the owner's (a signal, the session's end).
inline constexpr WindowKey kNoWindow = -1;

// The monitors as the window system reports them, and the whole desktop they lie on.
struct MonitorReport {
  std::vector<Monitor> monitors;
  Monitor whole;
  friend bool operator==(const MonitorReport&, const MonitorReport&) = default;
};

// A point on the desktop, in pixels from the top-left corner of the monitors' desktop.
struct DesktopPoint {
  float x = 0, y = 0;
};

// What the backend tells the owner, always on the main thread, from inside WindowSystem::dispatch.
class WindowEvents {
 public:
  virtual ~WindowEvents() = default;
  // The window's picture was lost (uncovered, or shown for the first time).
  virtual void exposed(WindowKey window) = 0;
  virtual void resized(WindowKey window, ScreenSize size) = 0;
  // The user's input in the window (MouseMove in the window's own pixels), or a close request
  // (for any window, or kNoWindow).
  virtual void input(WindowKey window, const SaverInput& input) = 0;
  // Monitors were added, removed or changed; the report is the whole list as it is now.
  virtual void monitorsChanged(const MonitorReport& now) = 0;
  // The host's window is gone (hosted): nothing can be shown any more.
  virtual void hostWindowGone() = 0;
};

// What every backend implements. All calls come from the main thread, except wake.
class WindowSystem {
 public:
  virtual ~WindowSystem() = default;
  // The monitors as the window system reports them now (full screen).
  virtual MonitorReport monitors() = 0;
  // Full screen: opens a window covering place (desktop pixels), above everything, and shows it.
  // Hosted: takes the host's window (place has its size). The frames of the window go to the
  // target returned, which stays valid until close(window). Throws when it cannot.
  virtual FrameTarget& open(WindowKey window, const Monitor& place) = 0;
  // Destroys the window (a host's window is only let go); its demonstration has ended.
  virtual void close(WindowKey window) = 0;
  // Where the pointer is on the desktop, when the window system can tell.
  virtual std::optional<DesktopPoint> pointer() = 0;
  // Sleeps until events arrive, wake() is called or the timeout passes, then passes every pending
  // event on and does what the frames handed to the main thread ask.
  virtual void dispatch(WindowEvents& events, std::chrono::milliseconds timeout) = 0;
  // Ends dispatch's sleep. From any thread.
  virtual void wake() = 0;
  // From now on the main thread shows no frame: a demonstration's present returns at once, so
  // that every demonstration can end without it (the owner stops them all).
  virtual void stopServing() = 0;
};

}  // namespace drevanti
