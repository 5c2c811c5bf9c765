// The two desktop settings the saver touches: the pointer's visibility and whether the desktop's
// screen saver may start.
#pragma once

#include "app/platform.h"

namespace drevanti::win32 {

// The full-screen saver: ShowCursor, and SystemParametersInfoA with SPI_SETSCREENSAVEACTIVE for
// the current logon only (fWinIni 0: not written to the profile, not broadcast).
class Win32SystemSettings final : public SystemSettings {
 public:
  void showCursor(bool visible) override;
  bool screenSaverActive() override;
  void setScreenSaverActive(bool active) override;
};

// The preview draws inside a window of the host's settings page, where the user keeps working:
// the pointer stays and the desktop's setting is left as the host has it.
class PreviewSystemSettings final : public SystemSettings {
 public:
  void showCursor(bool) override {}
  bool screenSaverActive() override { return active_; }
  void setScreenSaverActive(bool active) override { active_ = active; }

 private:
  bool active_ = false;
};

}  // namespace drevanti::win32
