// What an SDL event means to the saver's main window: one of its input handlers, a repaint of the
// window, or nothing. Pure, so it can be checked on hand-made events.
#pragma once

#include <SDL.h>

#include "app/platform.h"

namespace drevanti::linux_platform {

struct SaverInput {
  enum class Kind {
    None,
    KeyDown,       // any key, modifiers alone included
    Click,         // any mouse button pressed
    MouseMove,     // the pointer at (x, y), window pixels
    CloseRequest,  // the window's close request, or the end of the session or a signal
    Exposed,       // the window system lost the window's picture: show the last frame again
    Resized,       // the window's size changed: the window surface is new
  };
  Kind kind = Kind::None;
  Integer keyCode = 0;  // the key's scan code
  Integer shift = 0;    // 1 Shift, 2 Ctrl, 4 Alt, summed (keys only: SDL gives moves none)
  Integer button = 0;   // 1 left, 2 right, 4 middle, summed (held buttons during a move)
  float x = 0, y = 0;
};

SaverInput translateSaverEvent(const SDL_Event& event);

// Calls the handler an input stands for; window inputs (Exposed, Resized) and None call nothing.
void deliver(const SaverInput& input, FormEvents& handlers);

}  // namespace drevanti::linux_platform
