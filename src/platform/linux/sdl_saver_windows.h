// The Linux saver's demonstrations on SDL. The program's main thread owns the windows and their
// events; each window's demonstration runs on a thread of its own and sees its window through a
// HostedWindow. Both need a running SdlSession and return the program's exit code.
#pragma once

#include <cstdint>

#include "app/launch.h"
#include "text_renderer.h"

namespace drevanti::linux_platform {

// Full screen: one borderless window per monitor, each with its own demonstration, the pointer
// hidden; any key, click or pointer movement on any of them ends them all.
int runFullScreen(TextRenderer& text, std::uint32_t seed);

// Hosted: the demonstration in a window someone else owns (kRootWindow: the root window), at that
// window's size, following it when it is resized, until a signal arrives or the window is gone.
// Nothing of the window's state or of its input is touched.
int runHosted(TextRenderer& text, WindowId window, std::uint32_t seed);

}  // namespace drevanti::linux_platform
