// GNOME Shell's Activities overview, which the shell opens at login and people leave open: while
// it is open, mutter shows a new window only as a thumbnail inside it, so a saver started then
// would not be seen. The shell's own OverviewActive property (org.gnome.Shell), which a session
// client may set, closes it, as Escape would; the user's windows stay as they were.
#pragma once

#include <gio/gio.h>

#include <functional>
#include <string>

namespace drevanti::idle {

class GnomeOverview {
 public:
  // complain gets what failed, for a message.
  GnomeOverview(GDBusConnection* bus, std::function<void(const std::string&)> complain);
  ~GnomeOverview();
  GnomeOverview(const GnomeOverview&) = delete;
  GnomeOverview& operator=(const GnomeOverview&) = delete;

  // Closes the overview when it is open and calls then from the main loop once the shell says it
  // is hidden (its closing animation over: a window mapped during it may stay drawn a fraction of
  // a pixel off), or two seconds later at most; at once when it is not open, or GNOME Shell is not
  // on the bus. A call while one waits changes nothing.
  void closeThen(std::function<void()> then);

 private:
  void closed();

  GDBusConnection* bus_;
  std::function<void(const std::string&)> complain_;
  std::function<void()> then_;
  guint changes_ = 0;
  guint limit_ = 0;
};

}  // namespace drevanti::idle
