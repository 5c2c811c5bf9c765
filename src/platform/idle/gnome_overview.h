// GNOME Shell's Activities overview, which the shell opens at login and people leave open: while
// it is open, mutter shows a new window only as a thumbnail inside it, so a saver started then
// would not be seen. The shell's own OverviewActive property (org.gnome.Shell), which a session
// client may set, closes it, as Escape would; the user's windows stay as they were.
#pragma once

#include <gio/gio.h>

#include <optional>
#include <string>

namespace drevanti::idle {

// Closes the overview (nothing happens when it is closed, or when GNOME Shell is not on the bus);
// what failed otherwise, for a message.
std::optional<std::string> closeGnomeOverview(GDBusConnection* bus);

}  // namespace drevanti::idle
