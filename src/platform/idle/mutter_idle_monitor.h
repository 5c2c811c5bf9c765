// GNOME's idle monitor (mutter's org.gnome.Mutter.IdleMonitor, on GNOME's Wayland and Xorg
// sessions alike): an idle watch that fires each time the user has been away for its time. Mutter
// holds the watch back while an application inhibits idleness (a video playing), so the saver
// never starts then.
#pragma once

#include <gio/gio.h>

#include <memory>

#include "idle_source.h"

namespace drevanti::idle {

class MutterIdleMonitor final : public IdleSource {
 public:
  // Nothing when no idle monitor is on the bus. The events come from the main loop.
  static std::unique_ptr<MutterIdleMonitor> find(GDBusConnection* bus, IdleEvents events);
  ~MutterIdleMonitor() override;
  MutterIdleMonitor(const MutterIdleMonitor&) = delete;
  MutterIdleMonitor& operator=(const MutterIdleMonitor&) = delete;

  std::string name() const override { return "GNOME's idle monitor"; }
  void watchFor(std::chrono::milliseconds time) override;

 private:
  MutterIdleMonitor(GDBusConnection* bus, IdleEvents events);
  // Calls a method of the monitor; the reply, or nothing (and lost) when it fails.
  GVariant* call(const char* method, GVariant* arguments, const char* replyType);

  GDBusConnection* bus_;
  IdleEvents events_;
  guint fired_ = 0;
  guint presence_ = 0;
  gulong closed_ = 0;
  // The idle watch's id, 0 while there is none.
  guint32 watch_ = 0;
};

}  // namespace drevanti::idle
