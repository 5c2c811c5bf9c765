// Measuring the current tree and keeping the shortest one of the instance.
#pragma once

#include "steiner/solver.h"

namespace drevanti {

// Length of the current tree: the sum over edges 0..vertexCount-2, in that order.
double edgesum(const SolverState& s);

// Yields (the stop sequence runs here when a stop was asked for), measures the current tree and,
// if it is strictly shorter than bestLength, takes it whole as the best tree and repaints.
void hantei(Solver& solver);

}  // namespace drevanti
