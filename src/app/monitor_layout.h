// The monitors the full-screen saver covers, one window and one demonstration each.
#pragma once

#include <vector>

namespace drevanti {

// A monitor's rectangle in desktop pixels.
struct Monitor {
  int x = 0, y = 0, width = 0, height = 0;
  friend bool operator==(const Monitor&, const Monitor&) = default;
};

// The monitors to cover, in the window system's order, from those it reports: empty ones are
// dropped, and so is one that lies wholly inside another (a mirror of part of the same picture, or
// the same monitor reported twice, of which the first stays). When none is left, the whole screen
// counts as one monitor.
std::vector<Monitor> monitorsToCover(const std::vector<Monitor>& reported, Monitor wholeScreen);

}  // namespace drevanti
