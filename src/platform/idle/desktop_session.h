// Which desktop the user's session is, as XDG_CURRENT_DESKTOP says (a colon-separated list, such
// as "ubuntu:GNOME"): what --register does depends on it.
#pragma once

#include <string_view>

namespace drevanti::idle {

enum class Desktop {
  Gnome,   // GNOME: mutter's idle monitor, no screen-saver host
  Plasma,  // KDE Plasma: KWin's idle notifier, no screen-saver host
  Mate,    // MATE: mate-screensaver lists the installed theme
  Xfce,    // Xfce: xfce4-screensaver lists the installed theme
  Other,   // anything else, or none named
};

// The first desktop of the list that is one of the above.
Desktop desktopOf(const char* currentDesktop);

}  // namespace drevanti::idle
