#include "desktop_screen_saver.h"

namespace drevanti::idle {

namespace {

struct Service {
  const char* name;
  // Where GetActive answers (KDE's sends its signals from /org/freedesktop/ScreenSaver as well).
  const char* path;
};

// Each says ActiveChanged(b) from an interface named as the service.
constexpr Service kServices[] = {
    {"org.gnome.ScreenSaver", "/org/gnome/ScreenSaver"},
    {"org.freedesktop.ScreenSaver", "/ScreenSaver"},
};
constexpr int kCallTimeoutMs = 2000;

}  // namespace

DesktopScreenSaver::DesktopScreenSaver(GDBusConnection* bus, std::function<void()> activated)
    : bus_(bus), activated_(std::move(activated)) {
  for (const Service& service : kServices) {
    subscriptions_.push_back(g_dbus_connection_signal_subscribe(
        bus_, service.name, service.name, "ActiveChanged", nullptr, nullptr,
        G_DBUS_SIGNAL_FLAGS_NONE,
        [](GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*,
           GVariant* parameters, gpointer data) {
          if (!g_variant_is_of_type(parameters, G_VARIANT_TYPE("(b)"))) return;
          gboolean active = FALSE;
          g_variant_get(parameters, "(b)", &active);
          static_cast<DesktopScreenSaver*>(data)->changed(active);
        },
        this, nullptr));
    // A service that is not there is not started for the question.
    GVariant* reply = g_dbus_connection_call_sync(
        bus_, service.name, service.path, service.name, "GetActive", nullptr, G_VARIANT_TYPE("(b)"),
        G_DBUS_CALL_FLAGS_NO_AUTO_START, kCallTimeoutMs, nullptr, nullptr);
    if (reply) {
      gboolean active = FALSE;
      g_variant_get(reply, "(b)", &active);
      active_ = active_ || active;
      g_variant_unref(reply);
    }
  }
}

DesktopScreenSaver::~DesktopScreenSaver() {
  for (const guint subscription : subscriptions_) {
    g_dbus_connection_signal_unsubscribe(bus_, subscription);
  }
}

void DesktopScreenSaver::changed(bool active) {
  const bool before = active_;
  active_ = active;
  if (active && !before) activated_();
}

}  // namespace drevanti::idle
