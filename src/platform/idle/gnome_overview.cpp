#include "gnome_overview.h"

#include <utility>

#include "glib_handles.h"

namespace drevanti::idle {

namespace {

constexpr const char* kShell = "org.gnome.Shell";
constexpr const char* kPath = "/org/gnome/Shell";
constexpr const char* kProperties = "org.freedesktop.DBus.Properties";
constexpr const char* kActive = "OverviewActive";
constexpr int kCallTimeoutMs = 2000;
// The closing animation takes a quarter of a second; a shell that does not say it is over by
// then still gets its saver.
constexpr guint kCloseLimitMs = 2000;

// No GNOME Shell (KDE Plasma's KWin) means no overview.
bool noShell(const GError* error) {
  return g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_SERVICE_UNKNOWN) ||
         g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_NAME_HAS_NO_OWNER);
}

}  // namespace

GnomeOverview::GnomeOverview(GDBusConnection* bus, std::function<void(const std::string&)> complain)
    : bus_(bus), complain_(std::move(complain)) {
  changes_ = g_dbus_connection_signal_subscribe(
      bus_, kShell, kProperties, "PropertiesChanged", kPath, kShell, G_DBUS_SIGNAL_FLAGS_NONE,
      [](GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*,
         GVariant* parameters, gpointer data) {
        auto& overview = *static_cast<GnomeOverview*>(data);
        if (!overview.then_ || !g_variant_is_of_type(parameters, G_VARIANT_TYPE("(sa{sv}as)"))) {
          return;
        }
        GVariant* changed = g_variant_get_child_value(parameters, 1);
        gboolean active = TRUE;
        if (g_variant_lookup(changed, kActive, "b", &active) && !active) overview.closed();
        g_variant_unref(changed);
      },
      this, nullptr);
}

GnomeOverview::~GnomeOverview() {
  if (limit_ != 0) g_source_remove(limit_);
  g_dbus_connection_signal_unsubscribe(bus_, changes_);
}

void GnomeOverview::closeThen(std::function<void()> then) {
  if (then_) return;
  GError* error = nullptr;
  GVariant* reply = g_dbus_connection_call_sync(
      bus_, kShell, kPath, kProperties, "Get", g_variant_new("(ss)", kShell, kActive),
      G_VARIANT_TYPE("(v)"), G_DBUS_CALL_FLAGS_NO_AUTO_START, kCallTimeoutMs, nullptr, &error);
  gboolean open = FALSE;
  if (reply) {
    GVariant* value = nullptr;
    g_variant_get(reply, "(v)", &value);
    open = g_variant_is_of_type(value, G_VARIANT_TYPE_BOOLEAN) && g_variant_get_boolean(value);
    g_variant_unref(value);
    g_variant_unref(reply);
  }
  if (open) {
    reply = g_dbus_connection_call_sync(
        bus_, kShell, kPath, kProperties, "Set",
        g_variant_new("(ssv)", kShell, kActive, g_variant_new_boolean(FALSE)), nullptr,
        G_DBUS_CALL_FLAGS_NO_AUTO_START, kCallTimeoutMs, nullptr, &error);
    if (reply) {
      g_variant_unref(reply);
      then_ = std::move(then);
      limit_ = g_timeout_add(
          kCloseLimitMs,
          [](gpointer data) {
            auto& overview = *static_cast<GnomeOverview*>(data);
            overview.limit_ = 0;
            overview.closed();
            return G_SOURCE_REMOVE;
          },
          this);
      return;
    }
  }
  if (error && noShell(error)) {
    g_clear_error(&error);
  } else if (error) {
    complain_(takeError("GNOME Shell's overview may stay open over the saver", error));
  }
  then();
}

void GnomeOverview::closed() {
  if (limit_ != 0) {
    g_source_remove(limit_);
    limit_ = 0;
  }
  auto then = std::move(then_);
  then_ = nullptr;
  if (then) then();
}

}  // namespace drevanti::idle
