// drevanti: the Linux saver. Full screen on every monitor until a key, a click or a pointer
// movement (on a Wayland compositor through its own backend, else on X11 through SDL); hosted in a
// screen-saver host's window (--root, --window-id) until the host stops it; the settings form
// (--settings); registering with the desktop (--register, --unregister); or waiting for the user
// to be away and starting the full-screen saver then (--on-idle).
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "app/launch.h"
#include "app/run_saver.h"
#include "app/stop_request.h"
#include "app/version.h"
#include "platform/idle/idle_watcher.h"
#include "platform/idle/registration.h"
#include "platform/linux_shared/font_session.h"
#include "platform/linux_shared/text_renderer.h"
#include "platform/wayland/wayland_window_system.h"
#include "platform/x11/sdl_session.h"
#include "platform/x11/sdl_system_settings.h"
#include "platform/x11/sdl_window_system.h"
#include "platform/x11/settings_form_window.h"
#include "quit_signals.h"
#include "state/random_source.h"
#include "xscreensaver_registration.h"

namespace {

using namespace drevanti;

constexpr const char* kUsage =
    "usage: drevanti [--root | --window-id ID | --settings | --on-idle[=MINUTES] | --register |\n"
    "                 --unregister | --help | --version]\n"
    "A screen saver: a randomized heuristic for the Euclidean Steiner tree problem, shown live.\n"
    "  (none)           full screen on every monitor, until a key, a click or a pointer move\n"
    "  --root, -root    draw in the window XSCREENSAVER_WINDOW names (else the root window)\n"
    "                   until SIGTERM or SIGINT, as xscreensaver and xsecurelock run it\n"
    "  --window-id ID, -window-id ID\n"
    "                   the same in window ID (decimal, or hexadecimal with 0x)\n"
    "  --settings       the settings form, which says in Japanese that there are none\n"
    "  --on-idle[=MINUTES]\n"
    "                   start the full-screen saver whenever the user has been away for\n"
    "                   MINUTES (fractions allowed; by default a minute before GNOME's own\n"
    "                   idle delay on GNOME, else 5), as GNOME or KWin report it, until\n"
    "                   SIGTERM, SIGINT or SIGHUP\n"
    "  --register       GNOME, KDE Plasma: start drevanti --on-idle now and at each login;\n"
    "                   elsewhere list drevanti in xscreensaver's settings (~/.xscreensaver)\n"
    "  --unregister     GNOME, KDE Plasma: no longer start it on idle\n"
    "  --help, -h       this text\n"
    "  --version        the version\n"
    "Exit codes: 0 ended by the user or the host, 1 nothing to draw on (or, for --on-idle,\n"
    "nothing that reports idleness), 2 a command line it cannot obey. See drevanti(6).\n";

// Where xscreensaver keeps its own list of screen savers, for a ~/.xscreensaver made anew.
constexpr const char* kXscreensaverDefaults = "/etc/X11/app-defaults/XScreenSaver";

int registerForCurrentUser() {
  using namespace drevanti::linux_program;
  const char* home = std::getenv("HOME");
  if (!home || !*home) {
    std::fprintf(stderr, "drevanti: HOME is not set, so there is no ~/.xscreensaver to write\n");
    return 1;
  }
  const RegistrationResult result = registerWithXscreensaver(
      std::filesystem::path(home) / ".xscreensaver", kXscreensaverDefaults);
  if (!result.added) {
    std::printf("drevanti is listed already in %s\n", result.file.c_str());
    return 0;
  }
  std::printf("drevanti added to xscreensaver's list in %s", result.file.c_str());
  if (!result.backup.empty()) std::printf(" (the old file is kept as %s)", result.backup.c_str());
  std::printf(";\nchoose Drevanti in xscreensaver-settings.\n");
  return 0;
}

// The settings form, or the saver full screen or hosted; the stop request ends either.
int run(const Launch& launch, StopRequest& stop) {
  using linux_shared::TextRenderer;
  if (launch.mode == LaunchMode::FullScreen) {
    const linux_shared::FontSession fonts;
    TextRenderer text(linux_shared::kSaverTextPixels);
    if (const auto wayland = wayland_platform::WaylandWindowSystem::connect(text)) {
      wayland_platform::WaylandDesktop desktop;
      runSaver(LaunchMode::FullScreen, {*wayland, desktop, stop, clockSeed()});
      return 0;
    }
  }
  const x11::SdlSession session;
  if (launch.mode == LaunchMode::Settings) {
    TextRenderer text(linux_shared::kFormTextPixels);
    return x11::runSettingsForm(text, stop);
  }
  TextRenderer text(linux_shared::kSaverTextPixels);
  x11::SdlSystemSettings desktop;
  if (launch.mode == LaunchMode::Hosted) {
    x11::SdlWindowSystem windows(text, launch.window);
    runSaver(LaunchMode::Hosted, {windows, desktop, stop, clockSeed()});
  } else {
    x11::SdlWindowSystem windows(text);
    runSaver(LaunchMode::FullScreen, {windows, desktop, stop, clockSeed()});
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const Launch launch = parseLinuxLaunch(std::vector<std::string>(argv + 1, argv + argc),
                                         std::getenv("XSCREENSAVER_WINDOW"));
  try {
    switch (launch.mode) {
      case LaunchMode::Invalid:
        std::fprintf(stderr, "drevanti: %s\n%s", launch.error.c_str(), kUsage);
        return 2;
      case LaunchMode::DoNothing:
        return 0;
      case LaunchMode::Help:
        return std::fputs(kUsage, stdout) >= 0 && std::fflush(stdout) == 0 ? 0 : 1;
      case LaunchMode::Version:
        return std::printf("drevanti %s\n", kVersion) > 0 && std::fflush(stdout) == 0 ? 0 : 1;
      case LaunchMode::Register:
        if (const auto exitCode = idle::registerWithDesktop()) return *exitCode;
        return registerForCurrentUser();
      case LaunchMode::Unregister:
        return idle::unregisterFromDesktop();
      case LaunchMode::OnIdle:
        return idle::runIdleWatcher(launch.idleMinutes);
      default:
        break;
    }
    StopRequest stop;
    // Before any other thread.
    const linux_program::QuitSignals signals(stop);
    return run(launch, stop);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "drevanti: %s\n", error.what());
    return 1;
  }
}
