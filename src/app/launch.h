// How the program was asked to run, read once from its command line (and, on Linux, from the
// screen-saver host's environment). Both programs' main functions dispatch on the result.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace drevanti {

enum class LaunchMode {
  FullScreen,  // the demonstration on every monitor, until the user is back
  Settings,    // the settings form
  Hosted,      // the demonstration inside a window someone else owns, until told to stop
  DoNothing,   // exit at once (the Windows host's password-change request: there is none)
  Register,    // list the saver with the desktop's screen saver, or start it on idle (Linux)
  Unregister,  // take back what Register did for starting it on idle (Linux)
  OnIdle,      // wait until the user is away, run the full-screen saver, and wait again (Linux)
  Help,        // print what the command line may hold
  Version,     // print the version
  Invalid,     // the command line cannot be obeyed; error says why
};

// An X11 window id or a Windows window handle.
using WindowId = std::uint64_t;
// Hosted in the root window (Linux): X11 never gives a window the id 0.
inline constexpr WindowId kRootWindow = 0;

struct Launch {
  LaunchMode mode = LaunchMode::FullScreen;
  // Hosted: the window to draw in. Settings: the window the host offers as the form's owner, 0
  // when none.
  WindowId window = 0;
  std::string error;
  // OnIdle: the minutes the user must be away, when the command line gives them.
  std::optional<double> idleMinutes = std::nullopt;
  friend bool operator==(const Launch&, const Launch&) = default;
};

// A window id in decimal, or in hexadecimal after 0x or 0X (digits in either case).
std::optional<WindowId> parseWindowId(std::string_view text);

// The most minutes --on-idle=MINUTES takes (a day) and the fewest (a test's few seconds).
inline constexpr double kMostIdleMinutes = 1440;
inline constexpr double kFewestIdleMinutes = 0.01;

// The MINUTES of --on-idle=MINUTES: a decimal number (fractions allowed) from kFewestIdleMinutes
// to kMostIdleMinutes.
std::optional<double> parseIdleMinutes(std::string_view text);

// The Linux saver's command line, after the program name, and the value of XSCREENSAVER_WINDOW
// (null when unset):
//   --root, -root                 hosted in the window XSCREENSAVER_WINDOW names, else the root
//   --window-id ID, -window-id ID hosted in window ID (wins over --root: xscreensaver's settings
//                                 preview passes both)
//   --settings                    the settings form
//   --register                    list drevanti with the desktop's screen saver (xscreensaver's
//                                 ~/.xscreensaver), or have it started on idle
//   --unregister                  no longer start it on idle
//   --on-idle[=MINUTES]           start the full-screen saver whenever the user is away
//   --help, -h; --version         print the usage or the version
// Anything else is ignored; without any of these, full screen. Of --help, --version, --register,
// --unregister, --on-idle and --settings the first one given decides, whatever window is named
// besides.
Launch parseLinuxLaunch(const std::vector<std::string>& arguments, const char* xscreensaverWindow);

// The Windows saver's command line as the screen-saver host writes it, after the program name.
// The first argument decides; case-insensitive, '/' or '-', a window handle after ':' or a space
// or as the next argument:
//   (none), /s        full screen
//   /c, /c:HWND       the settings form, owned by HWND when one is given
//   /p HWND, /p:HWND  hosted in HWND (the settings page's preview); without a usable HWND there
//                     is nowhere to draw, so nothing is done
//   /a                nothing is done
// Anything else runs full screen.
Launch parseWindowsLaunch(const std::vector<std::string>& arguments);

}  // namespace drevanti
