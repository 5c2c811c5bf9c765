// Placing a user's terminals on the default screen, where the heuristic's pixel constants hold.
#pragma once

#include <vector>

#include "terminal_file.h"

namespace drevanti::tool {

inline constexpr int kFitWidth = 1920;
inline constexpr int kFitHeight = 1080;

// Rotation keeps every length, so terminals that share an X coordinate (which the hull tracing
// cannot handle) are solved as a rotated copy; mapping back undoes the rotation.
struct ScreenFit {
  double angle = 0;  // radians the input was turned about (centreX, centreY)
  double centreX = 0, centreY = 0;
  double minX = 0, minY = 0;     // of the turned input
  double scale = 1;              // screen pixels per input unit
  bool sampleCandidates = true;  // false when the hull is too thin for random candidates
  std::vector<Point> screen;     // the terminals on the screen, in input order

  Point toInput(Point onScreen) const;
};

// With s = min((1920 - 30) / (maxX - minX), (1080 - 30) / (maxY - minY)) the terminals go to
// x' = 15 + (x - minX) * s, y' = 15 + (y - minY) * s. Needs at least two distinct terminals; throws
// InputError (naming the terminals by their 1-based place) when two lie within 0.01 pixels.
ScreenFit fitToScreen(const std::vector<Point>& terminals);

}  // namespace drevanti::tool
