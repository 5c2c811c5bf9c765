// drevanti: the saver. Without arguments (or with any the desktop passes) it runs the full-screen
// demonstration until a key, a click or a mouse movement; `drevanti --settings` opens the
// settings form instead.
#include <cstdio>
#include <exception>
#include <string_view>

#include "app/frm_steiner.h"
#include "app/random_source.h"
#include "sdl_saver_window.h"
#include "sdl_session.h"
#include "sdl_system_settings.h"
#include "settings_form_window.h"
#include "text_renderer.h"

namespace {

bool wantsSettings(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::string_view(argv[i]) == "--settings") return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace drevanti;
  using namespace drevanti::linux_platform;
  try {
    SdlSession session;
    if (wantsSettings(argc, argv)) {
      TextRenderer text(kFormTextPixels);
      return runSettingsForm(text);
    }
    TextRenderer text(kSaverTextPixels);
    SdlSaverWindow window(text);
    SdlSystemSettings system;
    frmSteiner form(window, system, clockSeed());
    form.load();
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "drevanti: %s\n", error.what());
    return 1;
  }
}
