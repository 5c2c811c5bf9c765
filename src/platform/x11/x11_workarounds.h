// The saver's X error handler. Xlib's default one ends the program on any error; two kinds are
// expected and harmless here.
#pragma once

#include <functional>

// Xlib's display, declared here so that Xlib's macros stay out of the files that include this.
struct _XDisplay;

namespace drevanti::x11 {

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

// A hosted saver draws in a window its host may destroy at any moment (xscreensaver does, right
// after it has told the saver to stop). Errors about that window then only mean that it is gone:
// they are noted, not fatal, and so is every error after them. Call before the first request
// about the window, after letLateWakeupsPass.
void watchHostWindow(unsigned long window);
// True once an error about the watched window has arrived.
bool hostWindowGone();

// Sends what request sends on the connection and waits for the server's answer: true when the
// server refused it (its errors are noted, not passed on). For a request that may fail where the
// saver has another way (shared memory with a display on another machine).
bool x11Refuses(_XDisplay* display, const std::function<void()>& request);

}  // namespace drevanti::x11
