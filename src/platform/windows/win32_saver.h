// The saver as the Windows program runs it: the Win32 window system for the launch and runSaver
// over it. Returns the program's exit code; a failure is reported on standard error and gives 1.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/launch.h"

namespace drevanti::win32 {

// Full screen: one topmost borderless window per monitor, following the monitors as they come and
// go (WM_DISPLAYCHANGE), the pointer hidden and the screen-saver setting switched on. Hosted: the
// settings page's preview, a child window filling parent's client area and following its size,
// until the parent goes away; input is the page's.
int runSaverOnWindows(HINSTANCE instance, LaunchMode mode, HWND parent, std::uint32_t seed);

}  // namespace drevanti::win32
