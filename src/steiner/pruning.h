// bohe: removes the Steiner points that do not have exactly three tree edges.
#pragma once

#include "state/solver_state.h"

namespace drevanti {

// Judges degrees from the last mst, drops every Steiner point whose degree is not 3 and packs the
// rest, in their old order, right after the terminals. The tree arrays are stale until the next
// mst.
void bohe(SolverState& s);

}  // namespace drevanti
