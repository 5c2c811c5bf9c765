// The angle at a vertex between two of its tree neighbours, by the law of cosines.
#pragma once

#include "state/solver_state.h"

namespace drevanti {

// Angle at v between p and q, in radians from 0 to piValue. A neighbour lying on v gives 0; a
// cosine pushed past +-1 by rounding (collinear points) is clamped, so the result is never NaN.
double cornerAngle(const SolverState& s, Long v, Long p, Long q);

// 120 degrees, (piValue + piValue) / 3.0.
inline double steinerAngle(const SolverState& s) {
  return (s.piValue + s.piValue) / 3.0;
}

}  // namespace drevanti
