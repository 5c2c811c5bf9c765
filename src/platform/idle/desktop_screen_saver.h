// The desktop's own screen saver and locker, which come on above everything after their own idle
// time (GNOME Shell's shield, org.gnome.ScreenSaver; KDE Plasma's locker,
// org.freedesktop.ScreenSaver): whether one is on, and when one comes on, so that a saver under it
// can end, and none starts there.
#pragma once

#include <gio/gio.h>

#include <functional>
#include <vector>

namespace drevanti::idle {

class DesktopScreenSaver {
 public:
  // activated comes from the main loop each time the desktop's screen saver comes on.
  DesktopScreenSaver(GDBusConnection* bus, std::function<void()> activated);
  ~DesktopScreenSaver();
  DesktopScreenSaver(const DesktopScreenSaver&) = delete;
  DesktopScreenSaver& operator=(const DesktopScreenSaver&) = delete;

  // Whether it is on now (as it said when asked at the start, and since).
  bool active() const { return active_; }

 private:
  void changed(bool active);

  GDBusConnection* bus_;
  std::function<void()> activated_;
  std::vector<guint> subscriptions_;
  bool active_ = false;
};

}  // namespace drevanti::idle
