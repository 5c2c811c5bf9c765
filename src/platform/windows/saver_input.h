// What a message to the full-screen window means to the saver's handlers: a key, a click, a
// pointer position, a request to close, or nothing.
#pragma once

#include <windows.h>

#include "app/platform.h"

namespace drevanti::win32 {

struct SaverInput {
  enum class Kind { None, Key, Click, MouseMove, Close };
  Kind kind = Kind::None;
  Integer code =
      0;  // Key: the virtual-key code; MouseMove: the buttons held (1 left, 2 right, 4 middle)
  Integer shift = 0;   // 1 Shift, 2 Ctrl, 4 Alt
  float x = 0, y = 0;  // MouseMove: client pixels
};

// Shift, Ctrl and Alt as held now.
Integer shiftState();

// shift is the modifier state to report with keys and pointer movement (shiftState() in the saver).
SaverInput translateInput(UINT message, WPARAM wParam, LPARAM lParam, Integer shift);

void deliver(const SaverInput& input, FormEvents& handlers);

}  // namespace drevanti::win32
