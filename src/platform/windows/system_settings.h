// The two desktop settings the full-screen saver touches: the pointer's visibility and whether the
// desktop's screen saver may start.
#pragma once

#include "app/backend.h"

namespace drevanti::win32 {

// ShowCursor (its count belongs to the calling thread's input, so the thread that owns the
// saver's windows calls it), and SystemParametersInfoA with SPI_GETSCREENSAVEACTIVE and
// SPI_SETSCREENSAVEACTIVE for the current logon only (fWinIni 0: not written to the profile, not
// broadcast).
class Win32SystemSettings final : public SystemSettings {
 public:
  void showCursor(bool visible) override;
  std::optional<bool> screenSaverActive() override;
  void setScreenSaverActive(bool active) override;
};

}  // namespace drevanti::win32
