// The insertion passes: which terminals get a Steiner point, the growth limit that ends a loop,
// the ten-pass cap, the final pruning, and the full vertex arrays.
#include "steiner/insertion_passes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>

#include "geometry/spanning_tree.h"
#include "steiner/best_tree.h"
#include "steiner/pruning.h"
#include "steiner/relocation.h"
#include "steiner_test_support.h"
#include "tree_invariants.h"

namespace drevanti::test_support {
namespace {

// Fermat point of the right isosceles triangle (0, 0), (10, 0), (0, 10), on the diagonal.
constexpr double kRightFermat = 5 - 5 / kSqrt3;

class InsertionPassesTest : public SolverTest {
 protected:
  void SetUp() override { s.bestLength = kNoBestLength; }

  // Steiner points at `first`, then every `step` further along.
  void chain(int count, Point first, Point step) {
    for (int k = 0; k < count; ++k)
      addSteinerPoint(s, {first.x + k * step.x, first.y + k * step.y});
  }
};

// ---- Nothing to do ---------------------------------------------------------------------------

// Four terminals joined through a Steiner point at the centre: every terminal is a leaf. Nothing is
// inserted, nothing rebuilt or measured, and no pruning runs (it would drop the degree-4 centre).
TEST_F(InsertionPassesTest, LeavesOnlyMeansOnePassAndNothingElse) {
  setTerminals(s, {{0, 0}, {0, 10}, {10, 0}, {10, 10}});
  addSteinerPoint(s, {5, 5});
  mst(s);
  ASSERT_EQ(s.vertexDegree[4], 4);
  tuika(solver);
  EXPECT_EQ(s.vertexCount, 5);
  EXPECT_EQ(host.doEventsCalls(), 0);
  EXPECT_EQ(host.scripted().draws(), 0);
  EXPECT_TRUE(treeIsValid(s));
}

// A narrow corner at a Steiner point is not the passes' business: only terminals are served.
TEST_F(InsertionPassesTest, NarrowCornerAtASteinerPointIsNotServed) {
  setTerminals(s, {{0, 10}, {10, 0}});
  addSteinerPoint(s, {0, 0});
  mst(s);
  ASSERT_EQ(s.vertexDegree[2], 2);
  tuika(solver);
  EXPECT_EQ(s.vertexCount, 3);
  EXPECT_EQ(host.doEventsCalls(), 0);
}

// A path of three terminals bending by the given corner at the middle one.
class CornerThresholdTest : public InsertionPassesTest,
                            public ::testing::WithParamInterface<double> {};

TEST_P(CornerThresholdTest, OnlyCornersBelowOneHundredTwentyDegreesGetAPoint) {
  const double corner = GetParam();
  const Point middle{10, 0};
  setTerminals(s, {{0, 0}, middle, polar(middle, 10, 180 - corner)});
  mst(s);
  ASSERT_EQ(s.vertexDegree[1], 2);
  tuika(solver);
  if (corner < 120) {
    EXPECT_EQ(s.vertexCount, 4);
    EXPECT_EQ(host.scripted().draws(), 2);
    EXPECT_EQ(host.doEventsCalls(), 2);  // after the insertion, and after the final pruning
  } else {
    EXPECT_EQ(s.vertexCount, 3);
    EXPECT_EQ(host.scripted().draws(), 0);
    EXPECT_EQ(host.doEventsCalls(), 0);
  }
  EXPECT_TRUE(treeIsValid(s));
}

INSTANTIATE_TEST_SUITE_P(Corners, CornerThresholdTest,
                         ::testing::Values(75.0, 90.0, 119.5, 120.5, 150.0, 179.0));

// ---- Serving terminals -----------------------------------------------------------------------

// The 90-degree corner at (0, 0) gets the Fermat point; the tree becomes the Steiner tree of the
// triangle, of length sqrt((a^2 + b^2 + c^2) / 2 + 2 sqrt 3 area) = sqrt(200 + 100 sqrt 3). The
// second pass finds only leaves; the pruning keeps the new point, and its tree is no shorter.
TEST_F(InsertionPassesTest, RightCornerGetsItsFermatPointThenPruningRuns) {
  setTerminals(s, {{0, 0}, {0, 10}, {10, 0}});
  mst(s);
  host.scripted().script({0.25f, 0.5f});  // no offset: the constructed point itself
  tuika(solver);
  ASSERT_EQ(s.vertexCount, 4);
  EXPECT_TRUE(isNear(vertex(s, 3), {kRightFermat, kRightFermat}, 1e-6));
  EXPECT_EQ(s.vertexDegree[3], 3);
  EXPECT_EQ(host.doEventsCalls(), 2);
  EXPECT_EQ(host.repaints(), 1);
  EXPECT_NEAR(s.bestLength, std::sqrt(200 + 100 * kSqrt3), 1e-6);
  EXPECT_TRUE(treeIsValid(s));
  EXPECT_TRUE(bestTreeIsValid(s));
}

// A terminal with three neighbours is served whatever its corners, even at 120 degrees each; the
// Fermat point of a 120-degree corner is the terminal itself. The stop asked for at the first
// measurement shows the state right after that insertion and its rebuild.
TEST_F(InsertionPassesTest, DegreeThreeTerminalIsServedWhateverItsCorners) {
  const Point centre{0, 0};
  setTerminals(s, {polar(centre, 10, 240), polar(centre, 10, 120), centre, polar(centre, 10, 0)});
  mst(s);
  ASSERT_EQ(s.vertexDegree[2], 3);
  host.scripted().script({0.25f, 0.5f});
  host.stopAtDoEvents(1);
  EXPECT_THROW(tuika(solver), ProgramEnded);
  EXPECT_EQ(s.vertexCount, 5);
  EXPECT_EQ(s.vertexKind[4], 1);
  EXPECT_TRUE(isNear(vertex(s, 4), centre, 1e-6));
  EXPECT_TRUE(treeIsValid(s));
}

// Four neighbours, recorded by length: 10 at 0 degrees, 10.5 at 80, 11 at 180 and 11.5 at 270.
// The terminal is served too, and its point goes into the 80-degree corner of the first three.
TEST_F(InsertionPassesTest, TerminalWithFourNeighboursIsServed) {
  const Point centre{0, 0};
  setTerminals(s, {polar(centre, 11, 180), polar(centre, 11.5, 270), centre,
                   polar(centre, 10.5, 80), polar(centre, 10, 0)});
  mst(s);
  ASSERT_EQ(s.vertexDegree[2], 4);
  host.stopAtDoEvents(1);
  EXPECT_THROW(tuika(solver), ProgramEnded);
  ASSERT_EQ(s.vertexCount, 6);
  const Point p = vertex(s, 5);
  const double direction = std::atan2(p.y, p.x) / kTrueDegree;
  EXPECT_GT(direction, 0);
  EXPECT_LT(direction, 80);
}

// ---- The growth limit ------------------------------------------------------------------------

// Twelve terminals in three groups along the X axis, joined by straight links, and ten Steiner
// points in a chain far above, so that vertexCount starts at exactly 2N - 2 = 22:
// - group A: Ta at (0, 0) with neighbours at 0, 80 and 200 degrees (degree 3);
// - group B: Tb at (100, 0) with neighbours at 180, 70, 0 and -70 degrees (degree 4);
// - group C: Tc at (200, 0) with a 90-degree corner (degree 2).
// The first insertion, at Ta, passes the limit and ends the first loop before Tb is reached; the
// second loop still runs and serves Tc. So the second point of the pass is Tc's, not Tb's.
TEST_F(InsertionPassesTest, LimitEndsTheFirstLoopButNotThePass) {
  const Point ta{0, 0}, tb{100, 0};
  setTerminals(s, {polar(ta, 10, 200),
                   ta,
                   polar(ta, 10, 80),
                   {10, 0},
                   {90, 0},
                   tb,
                   polar(tb, 10, 70),
                   polar(tb, 10, -70),
                   {110, 0},
                   {190, 0},
                   {200, 0},
                   {200, 10}});
  chain(10, {200.5, 300}, {0, 5});
  ASSERT_EQ(s.vertexCount, 2 * s.terminalCount - 2);
  mst(s);
  ASSERT_TRUE(treeIsValid(s));
  ASSERT_EQ(s.vertexDegree[1], 3);
  ASSERT_EQ(s.vertexDegree[5], 4);
  ASSERT_EQ(s.vertexDegree[10], 2);
  host.scripted().script({0.25f, 0.5f, 0.25f, 0.5f});
  host.stopAtDoEvents(2);
  EXPECT_THROW(tuika(solver), ProgramEnded);
  ASSERT_EQ(s.vertexCount, 24);
  // Ta's 80-degree corner: on the bisector, at 10 sin 20 / sin 120 from Ta (the triangle of Ta,
  // the point and a neighbour has angles 40, 120 and 20 degrees).
  const double reach = 10 * std::sin(20 * kTrueDegree) / std::sin(120 * kTrueDegree);
  EXPECT_TRUE(isNear(vertex(s, 22), polar(ta, reach, 40), 1e-6));
  // Tc's right corner, its neighbours to the left and below.
  EXPECT_TRUE(isNear(vertex(s, 23), {200 - kRightFermat, kRightFermat}, 1e-6));
}

// ---- Full vertex arrays and the ten-pass cap -------------------------------------------------

// Five terminals and 96 Steiner points in a chain fill the arrays. Terminal (0, 0) has three
// neighbours and (10, 0) and (10, 10) have 90-degree corners, so every pass finds work, but no
// point fits: each pass serves one terminal in each loop (the limit ends both loops at once), the
// tree never changes, and the passes stop after the tenth. The pruning then drops the whole chain.
TEST_F(InsertionPassesTest, FullArraysRunTenPassesOfOneServiceInEachLoop) {
  const Point centre{0, 0};
  setTerminals(s, {polar(centre, 10, 120), polar(centre, 10, 240), centre, {10, 0}, {10, 10}});
  chain(96, {1000, 10.5}, {5, 0});
  ASSERT_EQ(s.vertexCount, kVertexCapacity);
  mst(s);
  ASSERT_TRUE(treeIsValid(s));
  ASSERT_EQ(s.vertexDegree[2], 3);
  ASSERT_EQ(s.vertexDegree[3], 2);
  ASSERT_EQ(s.vertexDegree[4], 2);

  tuika(solver);
  EXPECT_EQ(host.doEventsCalls(), 10 * 2 + 1);
  EXPECT_EQ(host.scripted().draws(), 0);
  EXPECT_EQ(s.vertexCount, 5);
  EXPECT_TRUE(treeIsValid(s));
  // Taken twice: the first tree, and the one without the chain.
  EXPECT_EQ(host.repaints(), 2);
  EXPECT_NEAR(s.bestLength, terminalMstLength(s), 1e-9);
  EXPECT_TRUE(bestTreeIsValid(s));
}

// ---- Over many random rounds -----------------------------------------------------------------

// The whole schedule of a round, after the terminals alone have been measured (as the first tree
// of the instance). After the passes the tree is sound, the arrays have not overflowed, the
// terminals have not moved (beyond the last-bit round trip of each construction's shift to its
// local origin), and the best tree is no longer than the terminals' spanning tree.
TEST_F(InsertionPassesTest, RandomRoundsNeverEndLongerThanTheTerminalsTree) {
  for (std::uint32_t seed = 500; seed < 580; ++seed) {
    std::mt19937 gen(seed);
    const int n = seed % 5 == 0 ? 49 : 4 + static_cast<int>(seed % 17);
    randomInstance(s, gen, n);
    const Integer withCandidates = s.vertexCount;
    s.vertexCount = static_cast<Integer>(n);
    s.bestLength = kNoBestLength;
    mst(s);
    hantei(solver);
    s.vertexCount = withCandidates;

    buildPruneAndMeasure(solver);
    mrlonely(solver);
    ASSERT_TRUE(treeIsValid(s)) << "seed " << seed;
    tuika(solver);

    ASSERT_TRUE(treeIsValid(s)) << "seed " << seed;
    ASSERT_TRUE(bestTreeIsValid(s)) << "seed " << seed;
    ASSERT_GE(s.vertexCount, n) << "seed " << seed;
    ASSERT_LE(s.vertexCount, kVertexCapacity) << "seed " << seed;
    for (int i = 0; i < n; ++i) {
      ASSERT_NEAR(s.vertexX[i], s.savedX[i], 1e-9) << "seed " << seed;
      ASSERT_NEAR(s.vertexY[i], s.savedY[i], 1e-9) << "seed " << seed;
    }
    ASSERT_LE(s.bestLength, terminalMstLength(s) * (1 + 1e-12)) << "seed " << seed;
  }
}

}  // namespace
}  // namespace drevanti::test_support
