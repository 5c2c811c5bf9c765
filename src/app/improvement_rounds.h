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

// The draws one candidate may take. On a screen a few pixels wide the hull's lines can enclose no
// point at all (a terminal that lies, in double precision, straight below another turns the upper
// chain the wrong way), so the search needs an end; ordinary hulls take a few hundred draws at
// most, and a million pass in well under a second.
inline constexpr long kCandidateDraws = 1'000'000;

// Places the round's random candidates inside the hull after the terminals: N - 2 trials of
// probability one half, each by rejection sampling with a checkpoint before every draw. False when
// a candidate found no place within kCandidateDraws draws: the round keeps those placed before it
// and draws no more.
bool placeCandidates(Solver& solver);

// The rounds on the current instance: repaint cadence, candidates, then the fixed schedule. Once
// a candidate has found no place, the instance's later rounds go without candidates.
void runRounds(Solver& solver, RoundPlan plan = {});

}  // namespace drevanti
