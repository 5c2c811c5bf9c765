// Thousands of seeded instances at mixed screen sizes, every tree checked. The sanitizer build runs
// it too; DREVANTI_SOAK_INSTANCES scales it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <iterator>
#include <memory>

#include "app/improvement_rounds.h"
#include "app/instance_generation.h"
#include "test_host.h"
#include "tree_invariants.h"

namespace drevanti {
namespace {

using test_support::TestHost;

long soakInstances() {
  const char* text = std::getenv("DREVANTI_SOAK_INSTANCES");
  return text ? std::atol(text) : 2000;
}

TEST(Soak, EveryTreeOfEveryInstanceIsSoundAndNoLongerThanTheSpanningTree) {
  // Screens of every kind, down to a single pixel (a host's window can be that small); on one
  // exactly 30 pixels wide no instance fits.
  const ScreenSize screens[] = {{1920, 1080}, {64, 48}, {800, 600}, {3840, 2160},
                                {1366, 768},  {1, 1},   {16, 16},   {29, 400},
                                {30, 200},    {31, 31}, {200, 30},  {7, 1000}};
  const auto kinds = static_cast<std::uint32_t>(std::size(screens));
  const long instances = soakInstances();
  long done = 0;
  for (std::uint32_t seed = 1; done < instances; ++seed) {
    TestHost host(screens[seed % kinds], seed);
    auto solver = std::make_unique<Solver>(host);
    const SolverState& s = solver->s;
    // Every accepted tree was just built by mst, so the tree and the snapshot are both checked.
    host.onRepaint = [&] {
      if (s.bestLength == kNoBestLength) return;  // a cadence repaint at round start
      ASSERT_TRUE(test_support::treeIsValid(s)) << "seed " << seed;
      ASSERT_TRUE(test_support::bestTreeIsValid(s)) << "seed " << seed;
    };
    for (int k = 0; k < 4 && done < instances; ++k, ++done) {
      if (!generateInstance(*solver)) {
        ASSERT_EQ(host.screenSize().width, 30) << "seed " << seed;
        continue;
      }
      runRounds(*solver);
      ASSERT_TRUE(test_support::treeIsValid(s)) << "seed " << seed << " instance " << k;
      ASSERT_TRUE(test_support::bestTreeIsValid(s)) << "seed " << seed << " instance " << k;
      ASSERT_LE(s.bestLength, test_support::terminalMstLength(s) * (1 + 1e-12))
          << "seed " << seed << " instance " << k;
      for (int i = s.terminalCount; i < s.bestVertexCount; ++i) {
        ASSERT_EQ(s.bestKind[i], 1) << "seed " << seed;
      }
    }
    if (HasFatalFailure()) return;
  }
}

// On a screen a few pixels wide a terminal can lie, in double precision, straight below another;
// the hull's upper chain then turns the wrong way and its lines enclose no point at all. These
// instances of the demonstration once drew candidates for ever.
struct EmptyHull {
  std::uint32_t seed;
  ScreenSize screen;
  long instance;  // counted from 0 on that seed's random sequence
};
const EmptyHull kEmptyHulls[] = {{5000049, {29, 400}, 175}, {6000092, {16, 16384}, 6}};

// Runs the instances before the empty hull's own; afterwards the next one generated is it.
void runUpTo(Solver& solver, const EmptyHull& hull) {
  for (long k = 0; k < hull.instance; ++k) {
    ASSERT_TRUE(generateInstance(solver));
    runRounds(solver);
  }
}

// The instance ends after one search that ran to the bound: the later rounds drew no candidates.
void expectEndsWithASoundTree(const EmptyHull& hull) {
  TestHost host(hull.screen, hull.seed);
  auto solver = std::make_unique<Solver>(host);
  const SolverState& s = solver->s;
  ASSERT_NO_FATAL_FAILURE(runUpTo(*solver, hull));
  const long before = host.doEventsCalls();
  ASSERT_TRUE(generateInstance(*solver));
  runRounds(*solver);
  const long checkpoints = host.doEventsCalls() - before;
  EXPECT_GT(checkpoints, kCandidateDraws);
  EXPECT_LT(checkpoints, 2 * kCandidateDraws);
  EXPECT_EQ(s.roundCounter, kRoundsPerInstance);
  EXPECT_TRUE(test_support::treeIsValid(s));
  EXPECT_TRUE(test_support::bestTreeIsValid(s));
  EXPECT_LE(s.bestLength, test_support::terminalMstLength(s) * (1 + 1e-12));
}

TEST(EmptyHull, On29x400EndsItsInstanceWithASoundTree) {
  expectEndsWithASoundTree(kEmptyHulls[0]);
}

TEST(EmptyHull, On16x16384EndsItsInstanceWithASoundTree) {
  expectEndsWithASoundTree(kEmptyHulls[1]);
}

TEST(EmptyHull, AStopDuringTheHopelessSearchEndsAtTheNextDraw) {
  const EmptyHull& hull = kEmptyHulls[1];
  TestHost host(hull.screen, hull.seed);
  auto solver = std::make_unique<Solver>(host);
  ASSERT_NO_FATAL_FAILURE(runUpTo(*solver, hull));
  ASSERT_TRUE(generateInstance(*solver));
  // Round 0 yields first in its first candidate's search, which finds nothing.
  const long stopAt = host.doEventsCalls() + kCandidateDraws / 2;
  host.stopAtDoEvents(stopAt);
  EXPECT_THROW(runRounds(*solver), ProgramEnded);
  EXPECT_EQ(host.doEventsCalls(), stopAt);
  EXPECT_EQ(host.stopSequences(), 1);
  EXPECT_EQ(solver->s.roundCounter, 0);
  EXPECT_EQ(solver->s.steinerCount, 0);
}

}  // namespace
}  // namespace drevanti
