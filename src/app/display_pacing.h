// On current hardware an instance takes milliseconds: shown as fast as it is computed, the saver
// would strobe through dozens of trees a second. These two pauses make it watchable.
#pragma once

#include <chrono>

#include "app/saver_window.h"

namespace drevanti {

// A new frame is shown no sooner than this after the previous one.
inline constexpr std::chrono::milliseconds kMinFrameInterval{120};
// The final best tree of an instance stays on screen at least this long before the next begins.
inline constexpr std::chrono::milliseconds kFinalTreeHold{2000};
// A screen with no room for an instance is tried again this often (it may have been resized).
inline constexpr std::chrono::milliseconds kNoRoomPause{500};

class DisplayPacing {
 public:
  // How long to wait before the next frame may be shown (zero when it may be shown now).
  std::chrono::milliseconds untilNextFrame(SaverClock::time_point now) const {
    return remaining(now, kMinFrameInterval);
  }
  // How long the last frame must still stay before the next instance begins.
  std::chrono::milliseconds untilNextInstance(SaverClock::time_point now) const {
    return remaining(now, kFinalTreeHold);
  }
  void frameShown(SaverClock::time_point now) {
    lastFrame_ = now;
    anyFrame_ = true;
  }

 private:
  std::chrono::milliseconds remaining(SaverClock::time_point now,
                                      std::chrono::milliseconds pause) const {
    const std::chrono::milliseconds none{0};
    if (!anyFrame_) return none;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(lastFrame_ + pause - now);
    return left > none ? left : none;
  }
  SaverClock::time_point lastFrame_{};
  bool anyFrame_ = false;
};

}  // namespace drevanti
