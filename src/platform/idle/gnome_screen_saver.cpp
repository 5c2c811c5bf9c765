#include "gnome_screen_saver.h"

namespace drevanti::idle {

GnomeScreenSaver::GnomeScreenSaver(GDBusConnection* bus, std::function<void()> activated)
    : bus_(bus), activated_(std::move(activated)) {
  subscription_ = g_dbus_connection_signal_subscribe(
      bus_, "org.gnome.ScreenSaver", "org.gnome.ScreenSaver", "ActiveChanged",
      "/org/gnome/ScreenSaver", nullptr, G_DBUS_SIGNAL_FLAGS_NONE,
      [](GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*,
         GVariant* parameters, gpointer data) {
        gboolean active = FALSE;
        if (g_variant_is_of_type(parameters, G_VARIANT_TYPE("(b)"))) {
          g_variant_get(parameters, "(b)", &active);
        }
        if (active) static_cast<GnomeScreenSaver*>(data)->activated_();
      },
      this, nullptr);
}

GnomeScreenSaver::~GnomeScreenSaver() {
  g_dbus_connection_signal_unsubscribe(bus_, subscription_);
}

}  // namespace drevanti::idle
