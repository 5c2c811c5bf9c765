// ch: the convex hull of the terminals as two chains of edge lines, traced by gift wrapping.
#pragma once

#include "state/solver_state.h"

namespace drevanti {

// Precondition: vertexX/vertexY (0..N-1) hold the terminals sorted by X, savedX/savedY the same
// values, no two terminals share an X. Afterwards vertexX/vertexY are back in that order.
void ch(SolverState& s);

// True when (x, y) is on or below every upper line and on or above every lower line: both tests for
// "outside" are strict, so a point exactly on a line is inside.
bool insideHull(const SolverState& s, double x, double y);

}  // namespace drevanti
