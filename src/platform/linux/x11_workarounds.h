// Two places where SDL 2 on X11 needs the saver's help; both do nothing on other drivers.
#pragma once

#include <SDL.h>

namespace drevanti::linux_platform {

// While SDL waits for events it wakes itself by sending a message to its window over a second
// connection to the X server. When the window is destroyed right after the event that woke it
// (the settings form closes on a key press), the server may handle that message only once the
// window is gone and answer BadWindow; SDL_Quit then reads the error and Xlib's default handler
// ends the program with exit code 1 at the end of a clean exit. A wake-up message that reaches no
// window loses nothing, so that one error is let pass; every other goes to the handler that was
// there before. Call before SDL starts: its X11 driver remembers the handler it finds, passes on
// to it the errors it does not handle itself, and puts it back just before it closes its
// connections (where this error shows), so a handler set later would be gone by then.
void letLateWakeupsPass();

// Takes a full-screen window off the screen at once. Hidden the ordinary way, SDL first takes a
// mapped window out of full screen and then polls for up to 100 ms for a window manager to
// confirm the new size; without one that time is simply lost between the user's key and the end
// of the program. An unmapped window needs no such wait. Returns false when the window is not an
// X11 one (SDL_HideWindow then does the whole job).
bool withdrawX11Window(SDL_Window* window);

}  // namespace drevanti::linux_platform
