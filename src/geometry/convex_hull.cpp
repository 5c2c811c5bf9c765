#include "geometry/convex_hull.h"

#include <cmath>

#include "geometry/geometry_helpers.h"
#include "geometry/heap_sort.h"

namespace drevanti {

namespace {

// Sort key of terminal i around the pivot; the smallest key is the next hull vertex. Terminals on
// the wrong side of the pivot get keys near 1000 and sort behind the pivot's 100.
double hullKey(const SolverState& s, int i) {
  const double d = dist(s.vertexX[i], s.vertexY[i], s.pivotX, s.pivotY);
  const double sine = (s.vertexY[i] - s.pivotY) / d;
  const double a = arcsin(sine);
  const double pi = s.piValue;
  double key;
  if (s.hullPhase == 0) {
    key = pi / 2 - a;
    if (s.vertexX[i] < s.pivotX) key = 1000.0;
    key = key + pi;
  } else {
    key = a;
    if (s.vertexX[i] > s.pivotX) key = 1000.0;
  }
  if (key > 2 * pi) key = key - 2 * pi;
  return key;
}

}  // namespace

void ch(SolverState& s) {
  const int n = s.terminalCount;
  s.hullEndX = s.vertexX[n - 1];
  s.hullCurrentX = 0;
  s.hullPhase = 0;
  s.upperHullCount = 0;
  s.lowerHullCount = 0;
  while (std::abs(s.hullCurrentX - s.savedX[0]) > 1e-6) {
    s.pivotX = s.vertexX[0];
    s.pivotY = s.vertexY[0];
    for (int i = 1; i < n; ++i) s.polarAngle[i] = hullKey(s, i);
    s.polarAngle[0] = 100.0;
    heapv(s.polarAngle.data(), s.vertexX.data(), s.vertexY.data(), s.terminalCount);
    s.hullCurrentX = s.vertexX[0];
    const double slope = (s.vertexY[0] - s.pivotY) / (s.vertexX[0] - s.pivotX);
    const double intercept = s.vertexY[0] - slope * s.vertexX[0];
    if (s.hullPhase == 0) {
      s.upperSlope[s.upperHullCount] = slope;
      s.upperIntercept[s.upperHullCount] = intercept;
      ++s.upperHullCount;
    } else {
      s.lowerSlope[s.lowerHullCount] = slope;
      s.lowerIntercept[s.lowerHullCount] = intercept;
      ++s.lowerHullCount;
    }
    if (std::abs(s.vertexX[0] - s.hullEndX) < 1e-7) s.hullPhase = 1;
  }
  for (int i = 0; i < n; ++i) {
    s.vertexX[i] = s.savedX[i];
    s.vertexY[i] = s.savedY[i];
  }
}

bool insideHull(const SolverState& s, double x, double y) {
  // The tests have no side effects, so stopping at the first failed line gives the same answer as
  // evaluating them all.
  for (int l = 0; l < s.upperHullCount; ++l) {
    if (y > s.upperSlope[l] * x + s.upperIntercept[l]) return false;
  }
  for (int l = 0; l < s.lowerHullCount; ++l) {
    if (y < s.lowerSlope[l] * x + s.lowerIntercept[l]) return false;
  }
  return true;
}

}  // namespace drevanti
