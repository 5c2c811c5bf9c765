// Inserting one Steiner point at a terminal whose tree edges meet at a narrow corner.
#pragma once

#include "steiner/solver.h"

namespace drevanti {

// Terminal of degree 3 or more: a point at the narrowest corner among its first three neighbours
// (pairs A-B, B-C, C-A; a tie keeps the earlier pair). No threshold is applied.
void tase1(Solver& solver, Long it1);

// Terminal of degree 2: a point at the corner between its two neighbours.
void tase2(Solver& solver, Long it2);

}  // namespace drevanti
