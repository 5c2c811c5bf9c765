// SDL's video subsystem and SDL_ttf for the life of the program, started with the hints the
// saver relies on. Throws DisplayError when there is no display to open.
#pragma once

#include <stdexcept>

namespace drevanti::linux_platform {

struct DisplayError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class SdlSession {
 public:
  SdlSession();
  ~SdlSession();
  SdlSession(const SdlSession&) = delete;
  SdlSession& operator=(const SdlSession&) = delete;
};

}  // namespace drevanti::linux_platform
