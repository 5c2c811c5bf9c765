#include "sdl_session.h"

#include <SDL.h>

#include <cstdlib>
#include <string>
#include <string_view>

#include "x11_workarounds.h"

namespace drevanti::x11 {

namespace {

// Why neither X11 nor Wayland could be reached, in the terms the user set them in.
std::string whyNoDisplay() {
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  std::string why;
  if (x11 && *x11) why = std::string("no X server answers at DISPLAY=") + x11;
  if (wayland && *wayland) {
    why += (why.empty() ? "" : "; ") +
           std::string("no Wayland compositor answers at WAYLAND_DISPLAY=") + wayland;
  }
  return why.empty() ? "neither DISPLAY nor WAYLAND_DISPLAY is set" : why;
}

}  // namespace

SdlSession::Video::Video() {
  // SDL would otherwise hold off the desktop's screen saver and display power management while it
  // runs. A screen saver must not keep a monitor from powering down: they stay as the user set
  // them.
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
  // A saver that loses the focus must not minimise itself: it ends on input instead.
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  SDL_SetHint(SDL_HINT_APP_NAME, "Drevanti");
  // Where no Wayland compositor is named, SDL would try Wayland after X11 failed all the same, and
  // leave libwayland's own complaint beside the saver's message. (SDL_VIDEODRIVER still decides.)
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  if (!wayland || !*wayland) SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
  // SDL's X11 video reaches for the session bus (for input methods) as it starts, and where none
  // is named libdbus launches one through the X server, leaving a window and a daemon behind each
  // saver process; where one is named, SDL waits on its answers. The saver needs no bus at all.
  setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);
  // The program's own quit signals stop it; SDL's handlers would only turn them into an SDL_QUIT.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  letLateWakeupsPass();
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    throw DisplayError("cannot open the display: " + whyNoDisplay() + " (" + SDL_GetError() + ")");
  }
  // Without a display SDL falls back to drivers that show nothing and get no input: a saver there
  // would run unseen for ever. Only when asked for by name (SDL_VIDEODRIVER) are they accepted.
  const std::string_view driver = SDL_GetCurrentVideoDriver();
  if ((driver == "offscreen" || driver == "dummy") && !std::getenv("SDL_VIDEODRIVER")) {
    SDL_Quit();
    throw DisplayError("cannot open the display: " + whyNoDisplay());
  }
  if (driver == "x11") {
    // The settings form's window surface as an X shared-memory image, copied by the server. SDL
    // would otherwise put it in an OpenGL texture, which buys nothing for 2D drawing and, on a
    // machine without a GPU, costs 100 MB and several times the CPU. (SDL_FRAMEBUFFER_-
    // ACCELERATION in the environment still decides.)
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  }
}

SdlSession::Video::~Video() {
  SDL_Quit();
}

}  // namespace drevanti::x11
