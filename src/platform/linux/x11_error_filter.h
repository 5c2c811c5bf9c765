// While SDL waits for events it wakes itself by sending a message to its window over a second
// connection to the X server. When the window is destroyed right after the event that woke it
// (the settings form closes on a key press), the server may handle that message only once the
// window is gone and answer BadWindow; SDL_Quit then reads the error and Xlib's default handler
// ends the program with exit code 1 at the end of a clean exit. A wake-up message that reaches no
// window loses nothing, so that one error is let pass; every other goes to the handler that was
// there before.
#pragma once

namespace drevanti::linux_platform {

// Installs the filter; call after SDL has started its X11 driver (it sets a handler of its own).
void letLateWakeupsPass();

}  // namespace drevanti::linux_platform
