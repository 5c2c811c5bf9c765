#include "sdl_connection.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <string>

#include "sdl_session.h"

namespace drevanti::x11 {

namespace {

SDL_SysWMinfo x11InfoOf(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) {
    throw DisplayError(std::string("cannot reach SDL's X connection: ") + SDL_GetError());
  }
  return info;
}

}  // namespace

SdlConnection::SdlConnection(SDL_Window* window) : display_(x11InfoOf(window).info.x11.display) {}

int SdlConnection::socket() const {
  return ConnectionNumber(display_);
}

bool SdlConnection::queued() {
  return XEventsQueued(display_, QueuedAfterFlush) > 0;
}

unsigned long x11WindowOf(SDL_Window* window) {
  return x11InfoOf(window).info.x11.window;
}

}  // namespace drevanti::x11
