// The command line a screen-saver host gives the saver, read without any Windows header so that it
// can be tested on its own. Switches are case-insensitive and start with '/' or '-'; a window
// handle follows after a colon or a space, in decimal:
//   (none), /s        the full-screen demonstration
//   /c, /c:HWND       the settings form
//   /p HWND, /p:HWND  the demonstration drawn live inside that window
//   /a                exit at once (the old password-change request: the saver has none)
// Anything else runs the full-screen demonstration.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace drevanti::win32 {

enum class SaverMode { FullScreen, Settings, Preview, ExitAtOnce };

struct SaverArguments {
  SaverMode mode = SaverMode::FullScreen;
  // The host's window (the parent of the preview, the owner offered for the settings form), 0 when
  // none was given.
  std::uintptr_t window = 0;
  friend bool operator==(const SaverArguments&, const SaverArguments&) = default;
};

// The arguments after the program name. A preview without a usable window handle has nowhere to
// draw, so it exits at once.
SaverArguments parseSaverArguments(const std::vector<std::string>& arguments);

}  // namespace drevanti::win32
