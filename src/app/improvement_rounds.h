// The 51 improvement rounds of an instance.
#pragma once

#include "steiner/solver.h"

namespace drevanti {

inline constexpr int kLastRound = 50;

// Whether round g of an instance with n terminals starts with a repaint: every third round above
// 20 terminals, every thirtieth from 10 to 20, only round 0 below 10.
bool cadenceRepaint(Long n, Long g);

// Cuts the point set back to the terminals and places the round's random candidates inside the hull
// (rejection sampling, with a checkpoint before every draw).
void placeCandidates(Solver& solver);

// Rounds 0 to 50 on the current instance: repaint cadence, candidates, then the fixed schedule.
void runRounds(Solver& solver);

}  // namespace drevanti
