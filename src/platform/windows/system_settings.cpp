#include "system_settings.h"

#include <windows.h>

namespace drevanti::win32 {

void Win32SystemSettings::showCursor(bool visible) {
  ShowCursor(visible ? TRUE : FALSE);
}

std::optional<bool> Win32SystemSettings::screenSaverActive() {
  BOOL active = FALSE;
  if (!SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &active, 0)) return std::nullopt;
  return active != FALSE;
}

void Win32SystemSettings::setScreenSaverActive(bool active) {
  static char empty[] = "";
  SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, active ? TRUE : FALSE, empty, 0);
}

}  // namespace drevanti::win32
