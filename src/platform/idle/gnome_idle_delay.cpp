#include "gnome_idle_delay.h"

namespace drevanti::idle {

namespace {

constexpr const char* kSchema = "org.gnome.desktop.session";
constexpr const char* kKey = "idle-delay";

}  // namespace

std::unique_ptr<GnomeIdleDelay> GnomeIdleDelay::open(std::function<void()> changed) {
  GSettingsSchemaSource* schemas = g_settings_schema_source_get_default();
  if (!schemas) return nullptr;
  GSettingsSchema* schema = g_settings_schema_source_lookup(schemas, kSchema, TRUE);
  if (!schema) return nullptr;
  const bool hasKey = g_settings_schema_has_key(schema, kKey);
  GSettings* settings = hasKey ? g_settings_new_full(schema, nullptr, nullptr) : nullptr;
  g_settings_schema_unref(schema);
  if (!settings) return nullptr;
  return std::unique_ptr<GnomeIdleDelay>(new GnomeIdleDelay(settings, std::move(changed)));
}

GnomeIdleDelay::GnomeIdleDelay(GSettings* settings, std::function<void()> changed)
    : settings_(settings), changed_(std::move(changed)) {
  handler_ = g_signal_connect(settings, "changed::idle-delay",
                              G_CALLBACK(+[](GSettings*, const gchar*, gpointer data) {
                                static_cast<GnomeIdleDelay*>(data)->changed_();
                              }),
                              this);
  // Some backends report changes only of keys read since.
  seconds();
}

GnomeIdleDelay::~GnomeIdleDelay() {
  g_signal_handler_disconnect(settings_.get(), handler_);
}

std::uint32_t GnomeIdleDelay::seconds() const {
  return g_settings_get_uint(settings_.get(), kKey);
}

}  // namespace drevanti::idle
