// What the saver asks the X server directly, where SDL has no answer: the monitors (SDL 2 sees a
// screen's RandR outputs, not its monitors), and the window a host gives the saver to draw in.
// Each opens a short connection of its own unless it works on an SDL window.
#pragma once

#include <SDL.h>

#include <optional>
#include <vector>

#include "app/monitor_layout.h"
#include "app/screen_size.h"

namespace drevanti::linux_platform {

// The monitors RandR 1.5 reports and the whole screen, in root-window pixels; nothing when the
// display cannot be opened.
struct X11Screen {
  std::vector<Monitor> monitors;
  Monitor whole;
};
std::optional<X11Screen> x11Screen();

// The root window of the default screen.
unsigned long x11RootWindow();

// The size of a window, or nothing when there is no such window (watched with watchHostWindow).
std::optional<ScreenSize> x11WindowSize(unsigned long window);

// Has the X server tell SDL when the foreign window changes size or is destroyed (structure
// events only: input stays the host's).
void x11FollowForeignWindow(SDL_Window* window);

// True when the SDL event is the X server's report that the given window was destroyed.
bool x11WindowDestroyed(const SDL_Event& event, unsigned long window);

}  // namespace drevanti::linux_platform
