#include "session_bus.h"

#include <sys/stat.h>

#include <cstdlib>
#include <string>

namespace drevanti::idle {

namespace {

std::string sessionBusAddress() {
  if (const char* named = std::getenv("DBUS_SESSION_BUS_ADDRESS"); named && *named) return named;
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (!runtime || !*runtime) return {};
  const std::string socket = std::string(runtime) + "/bus";
  struct stat about {};
  if (stat(socket.c_str(), &about) != 0 || !S_ISSOCK(about.st_mode)) return {};
  return "unix:path=" + socket;
}

}  // namespace

ObjectRef<GDBusConnection> connectSessionBus() {
  const std::string address = sessionBusAddress();
  if (address.empty()) return nullptr;
  GError* error = nullptr;
  GDBusConnection* bus = g_dbus_connection_new_for_address_sync(
      address.c_str(),
      static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                        G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
      nullptr, nullptr, &error);
  // A bus named but not answering (or "disabled:") is no bus to this program.
  g_clear_error(&error);
  return ObjectRef<GDBusConnection>(bus);
}

}  // namespace drevanti::idle
