// What an SDL input event means to the saver, in the saver's one input vocabulary. Pure, so it can
// be checked on hand-made events. Window events (exposure, size) are the window owner's business.
#pragma once

#include <SDL.h>

#include "app/backend.h"

namespace drevanti::x11 {

// Pointer positions stay in the pixels of the window the event came to.
SaverInput translateSaverEvent(const SDL_Event& event);

}  // namespace drevanti::x11
