// Starts SDL as the saver does, destroys a window, and only after SDL_Quit lets an error about
// that window reach Xlib, as a late wake-up message does:
//   late_wakeup_check send-event   a message sent to the gone window: must be let pass (exit 0)
//   late_wakeup_check map-window   any other request about it: must still be fatal (exit non-zero)
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <string_view>

#include "sdl_session.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const std::string_view what = argv[1];
  Window gone = 0;
  Display* other = nullptr;
  {
    drevanti::x11::SdlSession session;
    SDL_Window* window = SDL_CreateWindow("probe", 0, 0, 64, 64, SDL_WINDOW_HIDDEN);
    if (!window) return 3;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return 3;
    gone = info.info.x11.window;
    SDL_DestroyWindow(window);
    // A second connection, like SDL's own for wake-ups; the request goes out now, its error is
    // read only when the connection closes, after SDL has quit.
    other = XOpenDisplay(nullptr);
    if (!other) return 3;
    if (what == "send-event") {
      XEvent event{};
      event.xclient.type = ClientMessage;
      event.xclient.window = gone;
      event.xclient.message_type = XInternAtom(other, "WM_PROTOCOLS", False);
      event.xclient.format = 32;
      XSendEvent(other, gone, False, NoEventMask, &event);
    } else if (what == "map-window") {
      XMapWindow(other, gone);
    } else {
      return 2;
    }
    XFlush(other);
  }
  XCloseDisplay(other);
  std::puts("no fatal X error");
  return 0;
}
