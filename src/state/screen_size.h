// The size of the screen (or window) an instance is laid out on.
#pragma once

#include <cmath>

namespace drevanti {

struct ScreenSize {
  int width = 0;   // pixels
  int height = 0;  // pixels
  friend bool operator==(const ScreenSize&, const ScreenSize&) = default;
};

// The size in the scene's pixels of a screen of the given device pixels, scale device pixels to
// one of the scene's.
inline ScreenSize logicalSize(ScreenSize device, double scale) {
  return {static_cast<int>(std::lround(device.width / scale)),
          static_cast<int>(std::lround(device.height / scale))};
}

}  // namespace drevanti
