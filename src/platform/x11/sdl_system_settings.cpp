#include "sdl_system_settings.h"

#include <SDL.h>

namespace drevanti::x11 {

void SdlSystemSettings::showCursor(bool visible) {
  SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

std::optional<bool> SdlSystemSettings::screenSaverActive() {
  return SDL_IsScreenSaverEnabled() == SDL_TRUE;
}

void SdlSystemSettings::setScreenSaverActive(bool active) {
  if (active) {
    SDL_EnableScreenSaver();
  } else {
    SDL_DisableScreenSaver();
  }
}

}  // namespace drevanti::x11
