#include "sdl_session.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <cstdlib>
#include <string>
#include <string_view>

#include "x11_workarounds.h"

namespace drevanti::linux_platform {

SdlSession::SdlSession() {
  // SDL would otherwise suspend the desktop's screen saver while it runs; the saver manages that
  // setting itself (it records it at start and gives it back at exit).
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
  // A saver that loses the focus must not minimise itself: it ends on input instead.
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  SDL_SetHint(SDL_HINT_APP_NAME, "Drevanti");
  letLateWakeupsPass();
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    throw DisplayError(std::string("cannot open the display: ") + SDL_GetError());
  }
  // Without a display SDL falls back to drivers that show nothing and get no input: a saver there
  // would run unseen for ever. Only when asked for by name (SDL_VIDEODRIVER) are they accepted.
  const std::string_view driver = SDL_GetCurrentVideoDriver();
  if ((driver == "offscreen" || driver == "dummy") && !std::getenv("SDL_VIDEODRIVER")) {
    SDL_Quit();
    throw DisplayError("cannot open the display: no X11 or Wayland display (is DISPLAY set?)");
  }
  if (driver == "x11") {
    // The window surface as an X shared-memory image, copied by the server. SDL would otherwise
    // put it in an OpenGL texture, which buys nothing for a few frames a second of 2D drawing and,
    // on a machine without a GPU, costs 100 MB and several times the CPU. (SDL_FRAMEBUFFER_-
    // ACCELERATION in the environment still decides.)
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  }
  if (TTF_Init() != 0) {
    const std::string error = TTF_GetError();
    SDL_Quit();
    throw DisplayError("cannot start the font renderer: " + error);
  }
}

SdlSession::~SdlSession() {
  TTF_Quit();
  SDL_Quit();
}

}  // namespace drevanti::linux_platform
