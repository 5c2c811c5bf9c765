#include "sdl_connection.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <string>

#include "sdl_session.h"

namespace drevanti::x11 {

namespace {

Display* displayOf(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) {
    throw DisplayError(std::string("cannot reach SDL's X connection: ") + SDL_GetError());
  }
  return info.info.x11.display;
}

}  // namespace

SdlConnection::SdlConnection(SDL_Window* window) : display_(displayOf(window)) {}

int SdlConnection::socket() const {
  return ConnectionNumber(display_);
}

bool SdlConnection::queued() {
  return XEventsQueued(display_, QueuedAfterFlush) > 0;
}

}  // namespace drevanti::x11
