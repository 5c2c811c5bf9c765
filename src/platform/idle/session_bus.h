// The user's session bus for the watcher: the one the environment names, never one started for
// the purpose (GIO would otherwise have dbus-launch start one through the X server).
#pragma once

#include <gio/gio.h>

#include "glib_handles.h"

namespace drevanti::idle {

// The bus DBUS_SESSION_BUS_ADDRESS names, else the one at $XDG_RUNTIME_DIR/bus; nothing when
// neither is there or it does not answer. It does not end the program when it closes.
ObjectRef<GDBusConnection> connectSessionBus();

}  // namespace drevanti::idle
