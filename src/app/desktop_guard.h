// The desktop as the full-screen saver takes it: the pointer hidden and the desktop's screen saver
// allowed to start; both given back as they were when the guard goes, on every way out. A
// screen-saver setting that cannot be read is neither changed nor written back.
#pragma once

#include <optional>

#include "app/backend.h"

namespace drevanti {

class DesktopGuard {
 public:
  explicit DesktopGuard(SystemSettings& system) : system_(system) {
    before_ = system_.screenSaverActive();
    if (before_) system_.setScreenSaverActive(true);
    system_.showCursor(false);
  }
  ~DesktopGuard() {
    if (before_) system_.setScreenSaverActive(*before_);
    system_.showCursor(true);
  }
  DesktopGuard(const DesktopGuard&) = delete;
  DesktopGuard& operator=(const DesktopGuard&) = delete;

 private:
  SystemSettings& system_;
  std::optional<bool> before_;
};

}  // namespace drevanti
