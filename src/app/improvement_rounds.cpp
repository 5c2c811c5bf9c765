#include "app/improvement_rounds.h"

#include "app/instance_generation.h"
#include "geometry/convex_hull.h"
#include "geometry/spanning_tree.h"
#include "steiner/best_tree.h"
#include "steiner/insertion_passes.h"
#include "steiner/pruning.h"
#include "steiner/relocation.h"

namespace drevanti {

namespace {

// Large instances show their search often, small ones hardly (their rounds are over at once).
constexpr Long kLargeInstance = 20;  // more terminals than this: every kLargeCadence rounds
constexpr Long kLargeCadence = 3;
constexpr Long kMediumInstance = 10;  // from this many: every kMediumCadence rounds
constexpr Long kMediumCadence = 30;
constexpr Long kSmallCadence = 100;  // fewer: only round 0 of the 51

}  // namespace

bool cadenceRepaint(Long n, Long g) {
  if (n > kLargeInstance) return g % kLargeCadence == 0;
  if (n >= kMediumInstance) return g % kMediumCadence == 0;
  return g % kSmallCadence == 0;
}

bool placeCandidates(Solver& solver) {
  SolverState& s = solver.s;
  RandomSource& random = solver.host.random();
  const ScreenSize screen = solver.host.screenSize();
  const double width = screen.width;
  const double height = screen.height;
  const Long n = s.terminalCount;
  for (Long k = 0; k <= n - 3; ++k) {
    if (!(random.next() < 0.5f)) continue;
    double x, y;
    long draws = 0;
    do {
      checkpoint(solver.host);
      if (draws++ == kCandidateDraws) return false;
      x = random.next() * (width - 2 * kScreenMargin) + kScreenMargin;
      y = random.next() * (height - 2 * kScreenMargin) + kScreenMargin;
    } while (!insideHull(s, x, y));
    const int i = n + s.steinerCount;
    s.vertexX[i] = x;
    s.vertexY[i] = y;
    s.vertexKind[i] = 1;
    ++s.steinerCount;
    s.vertexCount = static_cast<Integer>(n + s.steinerCount);
  }
  return true;
}

void runRounds(Solver& solver, RoundPlan plan) {
  SolverState& s = solver.s;
  bool sampleCandidates = plan.placeCandidates;
  for (s.roundCounter = 0; s.roundCounter < plan.rounds; ++s.roundCounter) {
    if (cadenceRepaint(s.terminalCount, s.roundCounter)) solver.host.repaint();
    // Steiner points of the previous round are dropped: every round starts from the terminals.
    s.steinerCount = 0;
    s.vertexCount = static_cast<Integer>(s.terminalCount);
    if (sampleCandidates) sampleCandidates = placeCandidates(solver);
    mst(s);
    hantei(solver);
    bohe(s);
    mst(s);
    bohe(s);
    mst(s);
    hantei(solver);
    mrlonely(solver);
    tuika(solver);
  }
}

}  // namespace drevanti
