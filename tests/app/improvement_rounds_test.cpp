#include "app/improvement_rounds.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "app/instance_generation.h"
#include "test_host.h"
#include "tree_invariants.h"

namespace drevanti {
namespace {

using test_support::TestHost;

TEST(RepaintCadence, DependsOnTheNumberOfTerminals) {
  for (int g = 0; g <= 50; ++g) {
    EXPECT_EQ(cadenceRepaint(21, g), g % 3 == 0) << g;
    EXPECT_EQ(cadenceRepaint(49, g), g % 3 == 0) << g;
    EXPECT_EQ(cadenceRepaint(20, g), g == 0 || g == 30) << g;
    EXPECT_EQ(cadenceRepaint(10, g), g == 0 || g == 30) << g;
    EXPECT_EQ(cadenceRepaint(9, g), g == 0) << g;
    EXPECT_EQ(cadenceRepaint(4, g), g == 0) << g;
  }
  for (int n = 4; n <= 49; ++n) EXPECT_FALSE(cadenceRepaint(n, 50)) << n;
}

// Four terminals on a 130 x 130 screen, where a draw r maps to 100 r + 15 on either axis. The hull
// is the triangle (20, 40), (60, 100), (100, 40); its lower line is y = 40.
class CandidatePlacement : public ::testing::Test {
 protected:
  void SetUp() override {
    SolverState& s = solver->s;
    s.terminalCount = 4;
    const double terminals[4][2] = {{20, 40}, {60, 100}, {100, 40}, {61, 50}};
    for (int j = 0; j < 4; ++j) {
      s.vertexX[j] = terminals[j][0];
      s.vertexY[j] = terminals[j][1];
    }
    prepareTerminals(s);
    s.vertexCount = 4;
  }
  TestHost host{{130, 130}, 1};
  std::unique_ptr<Solver> solver = std::make_unique<Solver>(host);
};

TEST_F(CandidatePlacement, RejectsOutsideDrawsAndRedrawsUntilInside) {
  // Trial 1 places: (52.5, 102.5) is above the hull, (52.5, 65) inside. Trial 2: 0.5 is not below
  // 0.5.
  host.scripted().script({0.375f, 0.375f, 0.875f, 0.375f, 0.5f, 0.5f});
  EXPECT_TRUE(placeCandidates(*solver));
  const SolverState& s = solver->s;
  EXPECT_EQ(host.scripted().draws(), 6);
  EXPECT_EQ(host.doEventsCalls(), 2);
  EXPECT_EQ(s.steinerCount, 1);
  EXPECT_EQ(s.vertexCount, 5);
  EXPECT_DOUBLE_EQ(s.vertexX[4], 52.5);
  EXPECT_DOUBLE_EQ(s.vertexY[4], 65);
  EXPECT_EQ(s.vertexKind[4], 1);
}

TEST_F(CandidatePlacement, AcceptsAPointExactlyOnAHullLineButNotAHairOutside) {
  host.scripted().script({0.0f, 0.5f, 0.25f - 0x1p-24f, 0.5f, 0.25f, 0.0f, 0.5f, 0.25f});
  EXPECT_TRUE(placeCandidates(*solver));
  const SolverState& s = solver->s;
  EXPECT_EQ(s.steinerCount, 2);
  EXPECT_EQ(host.doEventsCalls(), 3);
  EXPECT_DOUBLE_EQ(s.vertexY[4], 40);
  EXPECT_DOUBLE_EQ(s.vertexY[5], 40);
}

TEST_F(CandidatePlacement, NoSuccessfulTrialLeavesTheTerminalsAlone) {
  host.scripted().script({0.5f, 0.99f});
  EXPECT_TRUE(placeCandidates(*solver));
  EXPECT_EQ(solver->s.vertexCount, 4);
  EXPECT_EQ(solver->s.steinerCount, 0);
  EXPECT_EQ(host.doEventsCalls(), 0);
}

TEST_F(CandidatePlacement, AStopDuringALongSearchEndsAtTheNextDraw) {
  // Every draw lands at (115, 115), outside the hull; the stop comes with the fourth attempt.
  host.scripted().script({0.0f});
  for (int i = 0; i < 20; ++i) host.scripted().script({1.0f - 0x1p-24f});
  host.stopAtDoEvents(4);
  EXPECT_THROW(placeCandidates(*solver), ProgramEnded);
  EXPECT_EQ(host.stopSequences(), 1);
  EXPECT_EQ(host.scripted().draws(), 1 + 3 * 2);
  EXPECT_EQ(solver->s.steinerCount, 0);
}

TEST(ImprovementRounds, RunFiftyOneRoundsAndKeepAValidBestTree) {
  TestHost host({1920, 1080}, 11);
  auto solver = std::make_unique<Solver>(host);
  generateInstance(*solver);
  runRounds(*solver);
  const SolverState& s = solver->s;
  EXPECT_EQ(s.roundCounter, 51);
  EXPECT_TRUE(test_support::treeIsValid(s));
  EXPECT_TRUE(test_support::bestTreeIsValid(s));
  EXPECT_GE(s.improvementCount, 1);
  EXPECT_LE(s.bestLength, test_support::terminalMstLength(s) * (1 + 1e-12));
}

TEST(ImprovementRounds, RoundZeroFirstRepaintsThePreviousInstancesTree) {
  TestHost host({1920, 1080}, 5);
  auto solver = std::make_unique<Solver>(host);
  const SolverState& s = solver->s;
  generateInstance(*solver);
  runRounds(*solver);
  const Long previousCount = s.bestVertexCount;
  const double previousX = s.bestX[0];
  bool checked = false;
  host.onRepaint = [&] {
    if (checked) return;
    checked = true;
    EXPECT_EQ(s.roundCounter, 0);
    EXPECT_EQ(s.bestLength, kNoBestLength);
    EXPECT_EQ(s.improvementCount, 0);
    EXPECT_EQ(s.bestVertexCount, previousCount);
    EXPECT_EQ(s.bestX[0], previousX);
  };
  generateInstance(*solver);
  runRounds(*solver);
  EXPECT_TRUE(checked);
}

TEST(ImprovementRounds, AStopAtAnyCheckpointEndsTheRunThere) {
  for (long stopAt : {1L, 2L, 7L, 60L, 400L, 3000L}) {
    TestHost host({1920, 1080}, 21);
    auto solver = std::make_unique<Solver>(host);
    host.stopAtDoEvents(stopAt);
    try {
      for (int k = 0; k < 20; ++k) {
        generateInstance(*solver);
        runRounds(*solver);
      }
      ADD_FAILURE() << "no stop at do-events call " << stopAt;
    } catch (const ProgramEnded&) {
    }
    EXPECT_EQ(host.doEventsCalls(), stopAt);
    EXPECT_EQ(host.stopSequences(), 1);
  }
}

TEST(ImprovementRounds, AStopInsideTheJudgeLeavesTheBestTreeUntouched) {
  // Find the do-events call of the first hantei (the first one after the first tree is built).
  TestHost probe({1920, 1080}, 3);
  auto solver = std::make_unique<Solver>(probe);
  long firstRepaintCall = -1;
  probe.onRepaint = [&] {
    if (firstRepaintCall < 0 && solver->s.improvementCount == 1)
      firstRepaintCall = probe.doEventsCalls();
  };
  generateInstance(*solver);
  runRounds(*solver);
  ASSERT_GT(firstRepaintCall, 0);

  TestHost host({1920, 1080}, 3);
  auto stopped = std::make_unique<Solver>(host);
  host.stopAtDoEvents(firstRepaintCall);
  generateInstance(*stopped);
  EXPECT_THROW(runRounds(*stopped), ProgramEnded);
  EXPECT_EQ(stopped->s.improvementCount, 0);
  EXPECT_EQ(stopped->s.bestLength, kNoBestLength);
}

TEST(ImprovementRounds, TheSameSeedGivesTheSameRun) {
  auto run = [](std::uint32_t seed) {
    TestHost host({1920, 1080}, seed);
    auto solver = std::make_unique<Solver>(host);
    for (int k = 0; k < 3; ++k) {
      generateInstance(*solver);
      runRounds(*solver);
    }
    return std::make_pair(solver->s.bestLength, host.scripted().draws());
  };
  const auto a = run(99), b = run(99), c = run(100);
  EXPECT_EQ(std::memcmp(&a.first, &b.first, sizeof(double)), 0);
  EXPECT_EQ(a.second, b.second);
  EXPECT_NE(a.first, c.first);
}

TEST(ImprovementRounds, WithoutCandidatesTheRoundsStillInsertAtNarrowCorners) {
  // The spanning tree meets at (60, 80) at about 67 degrees, so a Steiner point is inserted there.
  TestHost host({1920, 1080}, 1);
  auto solver = std::make_unique<Solver>(host);
  SolverState& s = solver->s;
  s.terminalCount = 3;
  const double terminals[3][2] = {{20, 20}, {60, 80}, {100, 20}};
  for (int j = 0; j < 3; ++j) {
    s.vertexX[j] = terminals[j][0];
    s.vertexY[j] = terminals[j][1];
  }
  prepareTerminals(s);
  runRounds(*solver, {3, false});
  EXPECT_EQ(s.roundCounter, 3);
  EXPECT_TRUE(test_support::bestTreeIsValid(s));
  EXPECT_EQ(s.bestVertexCount, 4);
  EXPECT_LT(s.bestLength, test_support::terminalMstLength(s) - 1);
}

}  // namespace
}  // namespace drevanti
