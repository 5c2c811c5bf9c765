// The two desktop settings the saver touches, through SDL: the pointer's visibility and whether
// the desktop's screen saver may start (SDL's screen-saver switch).
#pragma once

#include "app/backend.h"

namespace drevanti::x11 {

class SdlSystemSettings final : public SystemSettings {
 public:
  void showCursor(bool visible) override;
  std::optional<bool> screenSaverActive() override;
  void setScreenSaverActive(bool active) override;
};

}  // namespace drevanti::x11
