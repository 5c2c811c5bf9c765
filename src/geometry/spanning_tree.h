// mst: the Euclidean minimum spanning tree of the current vertices (Kruskal's method).
#pragma once

#include "state/solver_state.h"

namespace drevanti {

// Connects every vertex below vertexCount whose kind is below 2 and publishes the tree as edge
// list (in order of acceptance, so by non-decreasing length), degrees and neighbour table.
void mst(SolverState& s);

}  // namespace drevanti
