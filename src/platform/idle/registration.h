// drevanti --register and --unregister where the desktop has no screen-saver host that lists
// drevanti by itself: on GNOME and KDE Plasma an autostart entry for the watcher (drevanti
// --on-idle), which is also started at once; on MATE and Xfce, whose screen savers list the
// installed theme, a word on where to choose it.
#pragma once

#include <optional>

namespace drevanti::idle {

// What --register does in the session's desktop (XDG_CURRENT_DESKTOP), and its exit code;
// nothing, and nothing done, in a desktop not named above.
std::optional<int> registerWithDesktop();

// Removes the autostart entry and stops the user's watcher; the exit code.
int unregisterFromDesktop();

}  // namespace drevanti::idle
