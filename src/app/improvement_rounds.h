// The 51 improvement rounds of an instance.
#pragma once

#include "steiner/solver.h"

namespace drevanti {

// The rounds of an instance: 0 to 50.
inline constexpr Long kRoundsPerInstance = 51;

// The saver runs every round with random candidates; the headless tool may ask for other counts,
// and skips the candidates for terminals whose hull is too thin to sample.
struct RoundPlan {
  Long rounds = kRoundsPerInstance;
  bool placeCandidates = true;
};

// Whether round g of an instance with n terminals starts with a repaint: every third round above
// 20 terminals, every thirtieth from 10 to 20, only round 0 below 10.
bool cadenceRepaint(Long n, Long g);

// Places the round's random candidates inside the hull after the terminals: N - 2 trials of
// probability one half, each by rejection sampling with a checkpoint before every draw.
void placeCandidates(Solver& solver);

// The rounds on the current instance: repaint cadence, candidates, then the fixed schedule.
void runRounds(Solver& solver, RoundPlan plan = {});

}  // namespace drevanti
