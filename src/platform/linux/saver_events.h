// What an SDL input event means to the saver, in the saver's one input vocabulary. Pure, so it can
// be checked on hand-made events. Window events (exposure, size) are the window owner's business.
#pragma once

#include <SDL.h>

#include "app/saver_input.h"

namespace drevanti::linux_platform {

// Pointer positions stay in the pixels of the window the event came to.
SaverInput translateSaverEvent(const SDL_Event& event);

}  // namespace drevanti::linux_platform
