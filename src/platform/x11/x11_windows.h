// What the saver asks the X server directly about the window a host gives it to draw in, where SDL
// has no answer. Each opens a short connection of its own unless it works on an SDL window.
#pragma once

#include <SDL.h>

#include <optional>

#include "state/screen_size.h"

// Xlib's display, declared here so that Xlib's macros stay out of the files that include this.
struct _XDisplay;

namespace drevanti::x11 {

// The desktop's device pixels to one of the scene's: Xft.dpi of the root window's resources (as
// xrdb -merge sets them, read fresh from RESOURCE_MANAGER) over 96; 1 when it is not set, and when
// it is no number or gives a scale outside [0.5, 8] (said on standard error). The second on a
// short connection of its own.
double x11DesktopScale(_XDisplay* display);
double x11DesktopScale();

// The root window of the default screen.
unsigned long x11RootWindow();

// The size of a window, or nothing when there is no such window (watched with watchHostWindow).
std::optional<ScreenSize> x11WindowSize(unsigned long window);

// Has the X server tell SDL when the foreign window changes size or is destroyed (structure
// events only: input stays the host's).
void x11FollowForeignWindow(SDL_Window* window);

// True when the SDL event is the X server's report that the given window was destroyed.
bool x11WindowDestroyed(const SDL_Event& event, unsigned long window);

}  // namespace drevanti::x11
