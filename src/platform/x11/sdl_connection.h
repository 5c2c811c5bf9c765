// SDL's own connection to the X server, through which it speaks to its windows: what the main
// thread sleeps on. Xlib reads whatever arrives into its queue while answering any request, so
// what waits there must be taken before a sleep on the socket, which would not see it. And the X11
// window behind an SDL window.
#pragma once

#include <SDL.h>

// Xlib's display, declared here so that Xlib's macros stay out of the files that include this.
struct _XDisplay;

namespace drevanti::x11 {

class SdlConnection {
 public:
  // The connection of any window SDL made; throws DisplayError when SDL has none to X11.
  explicit SdlConnection(SDL_Window* window);

  int socket() const;
  // Sends what waits to be sent, and tells whether events wait already read off the socket.
  bool queued();

 private:
  _XDisplay* display_;
};

// The X11 window SDL made for the window; throws DisplayError when SDL has none on X11.
unsigned long x11WindowOf(SDL_Window* window);

}  // namespace drevanti::x11
