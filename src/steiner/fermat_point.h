// The Fermat point of three vertices by the classical construction: erect an equilateral triangle
// on one side, away from the third vertex; the point is the second intersection of the line from
// the apex to the third vertex with the circle through the apex and that side's endpoints.
// A caller always calls ihoujin and then, with the same triple in the same order, musoubana or
// msbn2.
#pragma once

#include "steiner/solver.h"

namespace drevanti {

// Apex of the equilateral triangle on the side ij1-ij2, on the far side from ij3, into
// apexX/apexY; left unchanged when ij3 lies exactly on the line through ij1 and ij2.
void ihoujin(SolverState& s, Long ij1, Long ij2, Long ij3);

// Appends the constructed point (plus a random offset of at most 0.0001) as a new Steiner point.
// With the vertex arrays full it adds nothing and draws no random number.
void musoubana(SolverState& s, RandomSource& random, Long mij1, Long mij2, Long mij3);

// Moves the existing vertex msbn to the constructed point (plus the random offset).
void msbn2(SolverState& s, RandomSource& random, Long msbn, Long mij1, Long mij2, Long mij3);

}  // namespace drevanti
