// mrlonely: moves Steiner points to the Fermat point of their three neighbours.
#pragma once

#include "steiner/solver.h"

namespace drevanti {

// A converging call never needs this many passes; the bound keeps a pathological point set from
// holding the saver forever.
inline constexpr int kMaxRelocationPasses = 1000;

// Passes over the Steiner points until one moves nothing: every degree-3 point whose largest
// corner deviation from 120 degrees exceeds one degree is moved, and the tree is rebuilt (mst) and
// measured (hantei) after each move.
void mrlonely(Solver& solver);

}  // namespace drevanti
