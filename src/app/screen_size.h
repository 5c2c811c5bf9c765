// The size of the screen (or window) an instance is laid out on.
#pragma once

namespace drevanti {

struct ScreenSize {
  int width = 0;   // pixels
  int height = 0;  // pixels
  friend bool operator==(const ScreenSize&, const ScreenSize&) = default;
};

}  // namespace drevanti
