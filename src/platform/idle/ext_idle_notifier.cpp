#include "ext_idle_notifier.h"

#include <glib-unix.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace drevanti::idle {

namespace {

ExtIdleNotifier& notifierOf(void* data) {
  return *static_cast<ExtIdleNotifier*>(data);
}

}  // namespace

std::unique_ptr<ExtIdleNotifier> ExtIdleNotifier::connect(IdleEvents events) {
  const char* name = std::getenv("WAYLAND_DISPLAY");
  if (!name || !*name) return nullptr;
  wl_display* display = wl_display_connect(nullptr);
  if (!display) return nullptr;
  std::unique_ptr<ExtIdleNotifier> notifier(new ExtIdleNotifier(display, std::move(events)));
  if (wl_display_roundtrip(display) < 0 || !notifier->notifier_ || !notifier->seat_) {
    return nullptr;
  }
  return notifier;
}

ExtIdleNotifier::ExtIdleNotifier(wl_display* display, IdleEvents events)
    : display_(display), events_(std::move(events)) {
  registry_ = wl_display_get_registry(display_);
  wl_registry_add_listener(registry_, &kRegistryListener, this);
  source_ = g_unix_fd_add(
      wl_display_get_fd(display_), static_cast<GIOCondition>(G_IO_IN | G_IO_ERR | G_IO_HUP),
      [](gint, GIOCondition, gpointer data) -> gboolean {
        ExtIdleNotifier& notifier = notifierOf(data);
        if (notifier.read()) return G_SOURCE_CONTINUE;
        notifier.source_ = 0;
        notifier.events_.lost("the Wayland compositor went away");
        return G_SOURCE_REMOVE;
      },
      this);
}

ExtIdleNotifier::~ExtIdleNotifier() {
  if (source_ != 0) g_source_remove(source_);
  if (notification_) ext_idle_notification_v1_destroy(notification_);
  if (notifier_) ext_idle_notifier_v1_destroy(notifier_);
  if (seat_) wl_seat_destroy(seat_);
  wl_registry_destroy(registry_);
  wl_display_disconnect(display_);
}

const wl_registry_listener ExtIdleNotifier::kRegistryListener = {
    .global =
        [](void* data, wl_registry* registry, std::uint32_t name, const char* interface,
           std::uint32_t) {
          ExtIdleNotifier& notifier = notifierOf(data);
          const std::string_view is = interface;
          if (is == ext_idle_notifier_v1_interface.name && !notifier.notifier_) {
            notifier.notifier_ = static_cast<ext_idle_notifier_v1*>(
                wl_registry_bind(registry, name, &ext_idle_notifier_v1_interface, 1));
          } else if (is == wl_seat_interface.name && !notifier.seat_) {
            // The seat's own events are of no interest: only its idleness is.
            notifier.seat_ =
                static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
          }
        },
    .global_remove = [](void*, wl_registry*, std::uint32_t) {},
};

const ext_idle_notification_v1_listener ExtIdleNotifier::kNotificationListener = {
    .idled = [](void* data, ext_idle_notification_v1*) { notifierOf(data).events_.idle(); },
    // The saver ends on input by itself.
    .resumed = [](void*, ext_idle_notification_v1*) {},
};

void ExtIdleNotifier::watchFor(std::chrono::milliseconds time) {
  if (notification_) ext_idle_notification_v1_destroy(notification_);
  notification_ = ext_idle_notifier_v1_get_idle_notification(
      notifier_, static_cast<std::uint32_t>(time.count()), seat_);
  ext_idle_notification_v1_add_listener(notification_, &kNotificationListener, this);
  flush();
}

bool ExtIdleNotifier::read() {
  if (wl_display_dispatch(display_) < 0) return false;
  flush();
  return true;
}

void ExtIdleNotifier::flush() {
  // A full socket takes the rest with the next flush; the requests are few and small.
  if (wl_display_flush(display_) < 0 && errno != EAGAIN) {
    events_.lost(std::string("the connection to the Wayland compositor failed: ") +
                 std::strerror(errno));
  }
}

}  // namespace drevanti::idle
