// The Windows saver's runs: the window owner over the Win32 windows. The program's main thread owns
// the windows and their messages; each window's demonstration runs on a thread of its own. Each
// returns the program's exit code; a failure is reported on standard error and returns 1.
#pragma once

#include <windows.h>

#include <cstdint>

namespace drevanti::win32 {

// Full screen: one topmost borderless window per monitor, each with its own demonstration,
// following the monitors as they come and go (WM_DISPLAYCHANGE), the pointer hidden and the
// screen-saver setting switched on; any key, click or pointer movement on any of them ends them
// all.
int runFullScreen(HINSTANCE instance, std::uint32_t seed);

// The settings page's preview: the demonstration in a child window filling the parent's client
// area and following its size, until the parent goes away. Input is the page's, not the saver's.
int runHosted(HINSTANCE instance, HWND parent, std::uint32_t seed);

}  // namespace drevanti::win32
