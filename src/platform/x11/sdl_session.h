// SDL's video subsystem and SDL_ttf for the life of the program, started with the hints the saver
// relies on. Throws DisplayError when there is no display to open.
#pragma once

#include <stdexcept>

#include "platform/linux_shared/font_session.h"

namespace drevanti::x11 {

struct DisplayError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class SdlSession {
 public:
  SdlSession() = default;
  SdlSession(const SdlSession&) = delete;
  SdlSession& operator=(const SdlSession&) = delete;

 private:
  struct Video {
    Video();
    ~Video();
  };
  Video video_;
  linux_shared::FontSession fonts_;
};

}  // namespace drevanti::x11
