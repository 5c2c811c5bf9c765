// GNOME's own idle delay (org.gnome.desktop.session idle-delay, in seconds; 0 = never), after
// which GNOME fades the screen to black and locks it, read and followed through GSettings.
#pragma once

#include <gio/gio.h>

#include <cstdint>
#include <functional>
#include <memory>

#include "glib_handles.h"

namespace drevanti::idle {

class GnomeIdleDelay {
 public:
  // Nothing when GNOME's settings schema is not installed. changed comes from the main loop when
  // the user sets another delay.
  static std::unique_ptr<GnomeIdleDelay> open(std::function<void()> changed);
  ~GnomeIdleDelay();
  GnomeIdleDelay(const GnomeIdleDelay&) = delete;
  GnomeIdleDelay& operator=(const GnomeIdleDelay&) = delete;

  std::uint32_t seconds() const;

 private:
  GnomeIdleDelay(GSettings* settings, std::function<void()> changed);

  ObjectRef<GSettings> settings_;
  std::function<void()> changed_;
  gulong handler_ = 0;
};

}  // namespace drevanti::idle
