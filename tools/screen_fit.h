// Placing a user's terminals on the default screen, where the heuristic's pixel constants hold.
#pragma once

#include <vector>

#include "terminal_file.h"

namespace drevanti::tool {

inline constexpr int kFitWidth = 1920;
inline constexpr int kFitHeight = 1080;

// The smallest spread (the larger of the X and Y extents) of terminals that can be solved: below
// it the input units are too small for doubles to measure the tree (lengths would lose their
// digits, down to zero).
inline constexpr double kMinSpread = 1e-300;

// The terminals are first put in a frame of their own: centred on their bounding box and divided
// by its spread, so that every coordinate lies within [-0.5, 0.5] whatever the input's size, and
// turning and scaling cannot overflow even for coordinates near the largest double. Rotation
// keeps every length, so terminals that share an X coordinate (which the hull tracing cannot
// handle) are solved as a turned copy; mapping back undoes the turn.
struct ScreenFit {
  double angle = 0;                 // radians the framed terminals were turned about the centre
  double centreX = 0, centreY = 0;  // of the input's bounding box
  double halfSpread = 0;            // half the input's spread, which is one unit of the frame
  double minU = 0, minV = 0;        // of the turned frame
  double framePixels = 1;           // screen pixels per unit of the frame
  double scale = 1;                 // screen pixels per input unit
  bool sampleCandidates = true;     // false when the hull is too thin for random candidates
  std::vector<Point> screen;        // the terminals on the screen, in input order

  Point toInput(Point onScreen) const;
};

// With (u, v) the framed and turned terminals, m the screen margin (15) and
// s = min((1920 - 2m) / (maxU - minU), (1080 - 2m) / (maxV - minV)), the terminals go to
// x' = m + (u - minU) * s, y' = m + (v - minV) * s. Needs at least two distinct terminals. Throws
// InputError when the spread is below kMinSpread, or when two terminals lie within 0.01 pixels
// (naming them by their 1-based place).
ScreenFit fitToScreen(const std::vector<Point>& terminals);

}  // namespace drevanti::tool
