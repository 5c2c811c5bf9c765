// What a message to one of the saver's windows means to the saver, in the saver's one input
// vocabulary: a key, a click, a pointer position, a request to close, or nothing.
#pragma once

#include <windows.h>

#include "app/backend.h"

namespace drevanti::win32 {

// Shift, Ctrl and Alt as held now.
int shiftState();

// shift is the modifier state to report with keys and pointer movement (shiftState() in the saver).
// Pointer positions stay in the client pixels of the window the message came to.
SaverInput translateInput(UINT message, WPARAM wParam, LPARAM lParam, int shift);

}  // namespace drevanti::win32
