// drevanti: the Linux saver. Full screen on every monitor until a key, a click or a pointer
// movement; hosted in a screen-saver host's window (--root, --window-id) until the host stops it;
// or the settings form (--settings).
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "app/launch.h"
#include "app/random_source.h"
#include "sdl_saver_windows.h"
#include "sdl_session.h"
#include "settings_form_window.h"
#include "text_renderer.h"

int main(int argc, char** argv) {
  using namespace drevanti;
  using namespace drevanti::linux_platform;
  const Launch launch = parseLinuxLaunch(std::vector<std::string>(argv + 1, argv + argc),
                                         std::getenv("XSCREENSAVER_WINDOW"));
  if (launch.mode == LaunchMode::Invalid) {
    std::fprintf(stderr, "drevanti: %s\n", launch.error.c_str());
    return 2;
  }
  if (launch.mode == LaunchMode::DoNothing) return 0;
  try {
    SdlSession session;
    if (launch.mode == LaunchMode::Settings) {
      TextRenderer text(kFormTextPixels);
      return runSettingsForm(text);
    }
    TextRenderer text(kSaverTextPixels);
    if (launch.mode == LaunchMode::Hosted) return runHosted(text, launch.window, clockSeed());
    return runFullScreen(text, clockSeed());
  } catch (const std::exception& error) {
    std::fprintf(stderr, "drevanti: %s\n", error.what());
    return 1;
  }
}
