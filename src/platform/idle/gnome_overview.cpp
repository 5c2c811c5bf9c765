#include "gnome_overview.h"

#include "glib_handles.h"

namespace drevanti::idle {

namespace {

constexpr int kCallTimeoutMs = 2000;

}  // namespace

std::optional<std::string> closeGnomeOverview(GDBusConnection* bus) {
  GError* error = nullptr;
  GVariant* reply = g_dbus_connection_call_sync(
      bus, "org.gnome.Shell", "/org/gnome/Shell", "org.freedesktop.DBus.Properties", "Set",
      g_variant_new("(ssv)", "org.gnome.Shell", "OverviewActive", g_variant_new_boolean(FALSE)),
      nullptr, G_DBUS_CALL_FLAGS_NO_AUTO_START, kCallTimeoutMs, nullptr, &error);
  if (reply) {
    g_variant_unref(reply);
    return std::nullopt;
  }
  // No GNOME Shell (KDE Plasma's KWin): no overview.
  if (g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_SERVICE_UNKNOWN) ||
      g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_NAME_HAS_NO_OWNER)) {
    g_clear_error(&error);
    return std::nullopt;
  }
  return takeError("GNOME Shell's overview stays open over the saver", error);
}

}  // namespace drevanti::idle
