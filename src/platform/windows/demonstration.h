// The Windows saver's demonstrations. The program's main thread owns the windows and their
// messages; each window's demonstration runs on a thread of its own and sees its window through a
// HostedWindow. Each returns the program's exit code.
#pragma once

#include <windows.h>

#include <cstdint>

namespace drevanti::win32 {

// Full screen: one topmost borderless window per monitor, each with its own demonstration, the
// pointer hidden and the screen-saver setting switched on; any key, click or pointer movement on
// any of them ends them all.
int runFullScreen(HINSTANCE instance, std::uint32_t seed);

// The settings page's preview: the demonstration in a child window filling the parent's client
// area and following its size, until the parent goes away. Input is the page's, not the saver's.
int runHosted(HINSTANCE instance, HWND parent, std::uint32_t seed);

}  // namespace drevanti::win32
