// tuika: inserts Steiner points at terminals whose edges meet at too narrow a corner.
#pragma once

#include "steiner/solver.h"

namespace drevanti {

// The passes tuika makes at most.
inline constexpr int kInsertionPasses = 10;

// Up to kInsertionPasses passes: first every terminal of degree 3 or more (tase1), then every
// terminal of degree 2 with a corner below 120 degrees (tase2), each insertion followed by mst and
// hantei. If anything was inserted, prunes, rebuilds and measures once more at the end.
void tuika(Solver& solver);

}  // namespace drevanti
