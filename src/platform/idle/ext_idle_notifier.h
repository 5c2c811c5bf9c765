// A Wayland compositor's idle notifier (ext_idle_notifier_v1, as KDE Plasma's KWin offers it): a
// notification that says "idled" each time the seat has had no input for its time. The
// compositor's connection is read from the watcher's main loop.
#pragma once

#include <gio/gio.h>
#include <wayland-client.h>

#include <memory>

#include "ext-idle-notify-v1-client.h"
#include "idle_source.h"

namespace drevanti::idle {

class ExtIdleNotifier final : public IdleSource {
 public:
  // Nothing when WAYLAND_DISPLAY names no compositor that answers, or it offers no idle
  // notifier. The events come from the main loop.
  static std::unique_ptr<ExtIdleNotifier> connect(IdleEvents events);
  ~ExtIdleNotifier() override;
  ExtIdleNotifier(const ExtIdleNotifier&) = delete;
  ExtIdleNotifier& operator=(const ExtIdleNotifier&) = delete;

  std::string name() const override { return "the Wayland compositor's idle notifier"; }
  void watchFor(std::chrono::milliseconds time) override;

 private:
  ExtIdleNotifier(wl_display* display, IdleEvents events);
  // Reads and handles what the compositor sent; false once the connection has failed.
  bool read();
  void flush();

  static const wl_registry_listener kRegistryListener;
  static const ext_idle_notification_v1_listener kNotificationListener;

  wl_display* display_;
  IdleEvents events_;
  wl_registry* registry_ = nullptr;
  wl_seat* seat_ = nullptr;
  ext_idle_notifier_v1* notifier_ = nullptr;
  ext_idle_notification_v1* notification_ = nullptr;
  guint source_ = 0;
};

}  // namespace drevanti::idle
