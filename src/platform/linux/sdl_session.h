// SDL's video subsystem and SDL_ttf for the life of the program, started with the hints the
// saver relies on, and SIGTERM and SIGINT as SDL_QUIT. Throws DisplayError when there is no
// display to open. Made first in main, before any other thread.
#pragma once

#include <stdexcept>

#include "quit_signals.h"

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

 private:
  QuitSignals signals_;
};

}  // namespace drevanti::linux_platform
