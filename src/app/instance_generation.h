// A new problem instance: 4 to 49 random terminals, sorted by X, saved, and enclosed by their hull.
#pragma once

#include "steiner/solver.h"

namespace drevanti {

// Terminals and Steiner candidates lie at least this many pixels inside the screen's edges.
inline constexpr int kScreenMargin = 15;
// An instance has kFewestTerminals to kMaxTerminals terminals, each count equally likely.
inline constexpr int kFewestTerminals = 4;

// False, with nothing drawn, when the screen has no room for an instance (see the .cpp).
bool generateInstance(Solver& solver);

// Marks the terminals 0..terminalCount-1 as terminals, sorts them by X, keeps their copy, builds
// the hull and starts a fresh best tree (bestLength and improvementCount). Shared by instance
// generation and by callers that bring their own terminals.
void prepareTerminals(SolverState& s);

}  // namespace drevanti
