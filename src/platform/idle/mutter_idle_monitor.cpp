#include "mutter_idle_monitor.h"

#include "glib_handles.h"

namespace drevanti::idle {

namespace {

constexpr const char* kName = "org.gnome.Mutter.IdleMonitor";
constexpr const char* kInterface = "org.gnome.Mutter.IdleMonitor";
// The monitor of every input device together.
constexpr const char* kCore = "/org/gnome/Mutter/IdleMonitor/Core";
constexpr int kCallTimeoutMs = 5000;

bool hasOwner(GDBusConnection* bus, const char* name) {
  GVariant* reply = g_dbus_connection_call_sync(
      bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "NameHasOwner",
      g_variant_new("(s)", name), G_VARIANT_TYPE("(b)"), G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMs,
      nullptr, nullptr);
  if (!reply) return false;
  gboolean owned = FALSE;
  g_variant_get(reply, "(b)", &owned);
  g_variant_unref(reply);
  return owned;
}

}  // namespace

std::unique_ptr<MutterIdleMonitor> MutterIdleMonitor::find(GDBusConnection* bus,
                                                           IdleEvents events) {
  if (!hasOwner(bus, kName)) return nullptr;
  return std::unique_ptr<MutterIdleMonitor>(new MutterIdleMonitor(bus, std::move(events)));
}

MutterIdleMonitor::MutterIdleMonitor(GDBusConnection* bus, IdleEvents events)
    : bus_(bus), events_(std::move(events)) {
  // Mutter sends WatchFired to the connection that added the watch only.
  fired_ = g_dbus_connection_signal_subscribe(
      bus_, kName, kInterface, "WatchFired", kCore, nullptr, G_DBUS_SIGNAL_FLAGS_NONE,
      [](GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*,
         GVariant* parameters, gpointer data) {
        auto& monitor = *static_cast<MutterIdleMonitor*>(data);
        guint32 id = 0;
        g_variant_get(parameters, "(u)", &id);
        if (id != 0 && id == monitor.watch_) monitor.events_.idle();
      },
      this, nullptr);
  presence_ = g_bus_watch_name_on_connection(
      bus_, kName, G_BUS_NAME_WATCHER_FLAGS_NONE, nullptr,
      [](GDBusConnection*, const gchar*, gpointer data) {
        static_cast<MutterIdleMonitor*>(data)->events_.lost(
            "GNOME's idle monitor (org.gnome.Mutter.IdleMonitor) left the session bus");
      },
      this, nullptr);
  closed_ = g_signal_connect(
      bus_, "closed", G_CALLBACK(+[](GDBusConnection*, gboolean, GError*, gpointer data) {
        static_cast<MutterIdleMonitor*>(data)->events_.lost("the session bus went away");
      }),
      this);
}

MutterIdleMonitor::~MutterIdleMonitor() {
  g_signal_handler_disconnect(bus_, closed_);
  g_bus_unwatch_name(presence_);
  // The watch itself goes with the connection: mutter drops a client's watches when it leaves.
  g_dbus_connection_signal_unsubscribe(bus_, fired_);
}

GVariant* MutterIdleMonitor::call(const char* method, GVariant* arguments, const char* replyType) {
  GError* error = nullptr;
  GVariant* reply =
      g_dbus_connection_call_sync(bus_, kName, kCore, kInterface, method, arguments,
                                  replyType ? G_VARIANT_TYPE(replyType) : nullptr,
                                  G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMs, nullptr, &error);
  if (!reply) events_.lost(takeError(std::string("GNOME's idle monitor: ") + method, error));
  return reply;
}

void MutterIdleMonitor::watchFor(std::chrono::milliseconds time) {
  if (watch_ != 0) {
    if (GVariant* reply = call("RemoveWatch", g_variant_new("(u)", watch_), nullptr)) {
      g_variant_unref(reply);
    }
    watch_ = 0;
  }
  GVariant* reply =
      call("AddIdleWatch", g_variant_new("(t)", static_cast<guint64>(time.count())), "(u)");
  if (!reply) return;
  g_variant_get(reply, "(u)", &watch_);
  g_variant_unref(reply);
}

}  // namespace drevanti::idle
