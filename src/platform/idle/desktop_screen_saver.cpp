#include "desktop_screen_saver.h"

namespace drevanti::idle {

namespace {

// Each sends ActiveChanged(b) from an interface named as the service (KDE's from two paths).
constexpr const char* kServices[] = {"org.gnome.ScreenSaver", "org.freedesktop.ScreenSaver"};

}  // namespace

DesktopScreenSaver::DesktopScreenSaver(GDBusConnection* bus, std::function<void()> activated)
    : bus_(bus), activated_(std::move(activated)) {
  for (const char* service : kServices) {
    subscriptions_.push_back(g_dbus_connection_signal_subscribe(
        bus_, service, service, "ActiveChanged", nullptr, nullptr, G_DBUS_SIGNAL_FLAGS_NONE,
        [](GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*,
           GVariant* parameters, gpointer data) {
          gboolean active = FALSE;
          if (g_variant_is_of_type(parameters, G_VARIANT_TYPE("(b)"))) {
            g_variant_get(parameters, "(b)", &active);
          }
          if (active) static_cast<DesktopScreenSaver*>(data)->activated_();
        },
        this, nullptr));
  }
}

DesktopScreenSaver::~DesktopScreenSaver() {
  for (const guint subscription : subscriptions_) {
    g_dbus_connection_signal_unsubscribe(bus_, subscription);
  }
}

}  // namespace drevanti::idle
