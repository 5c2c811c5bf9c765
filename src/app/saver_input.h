// The saver's input in one vocabulary for every backend: each translates its window system's
// events into SaverInput, and deliver() calls the handler the input stands for.
#pragma once

#include "app/platform.h"

namespace drevanti {

struct SaverInput {
  enum class Kind {
    None,
    KeyDown,       // any key, modifiers alone included
    Click,         // any mouse button pressed
    MouseMove,     // the pointer at (x, y)
    CloseRequest,  // the window system or a signal asks the program to end
  };
  Kind kind = Kind::None;
  Integer keyCode = 0;  // KeyDown: the window system's code for the key
  Integer shift = 0;    // 1 Shift, 2 Ctrl, 4 Alt, summed
  Integer button = 0;   // MouseMove: the buttons held, 1 left, 2 right, 4 middle, summed
  float x = 0, y = 0;   // MouseMove: pixels, from the top-left corner of the desktop's monitors
  friend bool operator==(const SaverInput&, const SaverInput&) = default;
};

void deliver(const SaverInput& input, FormEvents& handlers);

}  // namespace drevanti
