// GNOME's own screen saver (org.gnome.ScreenSaver, the shell's shield that fades to black and
// locks): tells when it comes on, above everything, so that a saver under it can end.
#pragma once

#include <gio/gio.h>

#include <functional>

namespace drevanti::idle {

class GnomeScreenSaver {
 public:
  // activated comes from the main loop each time GNOME's screen saver comes on.
  GnomeScreenSaver(GDBusConnection* bus, std::function<void()> activated);
  ~GnomeScreenSaver();
  GnomeScreenSaver(const GnomeScreenSaver&) = delete;
  GnomeScreenSaver& operator=(const GnomeScreenSaver&) = delete;

 private:
  GDBusConnection* bus_;
  std::function<void()> activated_;
  guint subscription_ = 0;
};

}  // namespace drevanti::idle
