// SDL_ttf for the life of the object, for the text renderer; needs nothing else of SDL. Throws
// std::runtime_error when the font renderer cannot start.
#pragma once

#include <SDL_ttf.h>

#include <stdexcept>
#include <string>

namespace drevanti::linux_shared {

class FontSession {
 public:
  FontSession() {
    if (TTF_Init() != 0) {
      throw std::runtime_error(std::string("cannot start the font renderer: ") + TTF_GetError());
    }
  }
  ~FontSession() { TTF_Quit(); }
  FontSession(const FontSession&) = delete;
  FontSession& operator=(const FontSession&) = delete;
};

}  // namespace drevanti::linux_shared
