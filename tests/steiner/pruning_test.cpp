// Pruning: every Steiner point without exactly three tree edges goes, the rest close up behind the
// terminals in their old order, and nothing else is touched.
#include "steiner/pruning.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "geometry/spanning_tree.h"
#include "steiner_test_support.h"
#include "tree_invariants.h"

namespace drevanti::test_support {
namespace {

class PruningTest : public SolverTest {
 protected:
  // n terminals along a row; their degrees are whatever each test sets.
  void terminals(int n) {
    for (int i = 0; i < n; ++i) {
      s.vertexX[i] = s.savedX[i] = 10.0 * i;
      s.vertexY[i] = s.savedY[i] = 5.0 * (i % 2);
      s.vertexKind[i] = 0;
      s.vertexDegree[i] = 1;
    }
    s.terminalCount = n;
    s.vertexCount = static_cast<Integer>(n);
  }
  // A Steiner point with the given degree, at a position that tells it apart.
  Long steiner(Integer degree) {
    const Long v = addSteinerPoint(s, {100.0 + v_, 200.0 - v_});
    s.vertexDegree[v] = degree;
    ++v_;
    return v;
  }
  // Where steiner() put its k-th point.
  static Point steinerPosition(int k) { return {100.0 + k, 200.0 - k}; }

 private:
  int v_ = 0;
};

TEST_F(PruningTest, NoSteinerPointsChangesNothing) {
  terminals(5);
  s.vertexDegree[2] = 2;
  const SolverState before = s;
  bohe(s);
  EXPECT_EQ(s.vertexCount, 5);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(s.vertexX[i], before.vertexX[i]);
    EXPECT_EQ(s.vertexY[i], before.vertexY[i]);
    EXPECT_EQ(s.vertexKind[i], 0);
    EXPECT_EQ(s.vertexDegree[i], before.vertexDegree[i]);
  }
}

TEST_F(PruningTest, DegreeThreePointsAllStay) {
  terminals(4);
  for (int k = 0; k < 3; ++k) steiner(3);
  bohe(s);
  ASSERT_EQ(s.vertexCount, 7);
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(s.vertexKind[4 + k], 1);
    EXPECT_EQ(s.vertexDegree[4 + k], 3);
    EXPECT_TRUE(isNear(vertex(s, 4 + k), steinerPosition(k), 0));
  }
}

// Ten vertices, six of them terminals, Steiner points of degree 3, 2, 3, 1: the two of degree 3
// are kept and close up at 6 and 7.
TEST_F(PruningTest, KeptPointsCloseUpBehindTheTerminals) {
  terminals(6);
  for (Integer degree : {3, 2, 3, 1}) steiner(degree);
  bohe(s);
  ASSERT_EQ(s.vertexCount, 8);
  EXPECT_TRUE(isNear(vertex(s, 6), steinerPosition(0), 0));
  EXPECT_TRUE(isNear(vertex(s, 7), steinerPosition(2), 0));
  EXPECT_EQ(s.vertexKind[6], 1);
  EXPECT_EQ(s.vertexKind[7], 1);
  EXPECT_EQ(s.vertexDegree[6], 3);
  EXPECT_EQ(s.vertexDegree[7], 3);
}

TEST_F(PruningTest, LeavesPassThroughPointsAndHubsAllGo) {
  terminals(4);
  for (Integer degree : {3, 0, 1, 3, 2, 4, 5, 3, 6}) steiner(degree);
  bohe(s);
  ASSERT_EQ(s.vertexCount, 7);
  EXPECT_TRUE(isNear(vertex(s, 4), steinerPosition(0), 0));
  EXPECT_TRUE(isNear(vertex(s, 5), steinerPosition(3), 0));
  EXPECT_TRUE(isNear(vertex(s, 6), steinerPosition(7), 0));
  for (int v = 4; v < 7; ++v) {
    EXPECT_EQ(s.vertexKind[v], 1);
    EXPECT_EQ(s.vertexDegree[v], 3);
  }
}

TEST_F(PruningTest, NoDegreeThreePointLeavesOnlyTheTerminals) {
  terminals(4);
  for (Integer degree : {1, 2, 4}) steiner(degree);
  bohe(s);
  EXPECT_EQ(s.vertexCount, 4);
}

TEST_F(PruningTest, TerminalsOfAnyDegreeStayWhereTheyAre) {
  terminals(6);
  const Integer degrees[] = {0, 1, 2, 3, 4, 5};
  for (int i = 0; i < 6; ++i) s.vertexDegree[i] = degrees[i];
  steiner(2);
  steiner(3);
  const SolverState before = s;
  bohe(s);
  ASSERT_EQ(s.vertexCount, 7);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(s.vertexX[i], before.vertexX[i]) << "terminal " << i;
    EXPECT_EQ(s.vertexY[i], before.vertexY[i]) << "terminal " << i;
    EXPECT_EQ(s.vertexKind[i], 0) << "terminal " << i;
    EXPECT_EQ(s.vertexDegree[i], degrees[i]) << "terminal " << i;
  }
  EXPECT_TRUE(isNear(vertex(s, 6), steinerPosition(1), 0));
}

// The terminals' copy kept for the instance, the tree arrays and the best tree are not pruning's.
TEST_F(PruningTest, LeavesTheTerminalCopyTheTreeAndTheBestTreeAlone) {
  terminals(6);
  for (Integer degree : {3, 2, 3, 1}) steiner(degree);
  for (int e = 0; e < 9; ++e) {
    s.edgeFrom[e] = static_cast<Integer>(e);
    s.edgeTo[e] = static_cast<Integer>(e + 1);
  }
  s.treeNeighbour(7, 0) = 42;
  s.bestLength = 123.5;
  s.bestX[3] = 9.25;
  s.bestVertexCount = 10;
  const SolverState before = s;
  bohe(s);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(s.savedX[i], before.savedX[i]);
    EXPECT_EQ(s.savedY[i], before.savedY[i]);
  }
  for (int e = 0; e < 9; ++e) {
    EXPECT_EQ(s.edgeFrom[e], before.edgeFrom[e]);
    EXPECT_EQ(s.edgeTo[e], before.edgeTo[e]);
  }
  EXPECT_EQ(s.treeNeighbour(7, 0), 42);
  EXPECT_EQ(s.bestLength, 123.5);
  EXPECT_EQ(s.bestX[3], 9.25);
  EXPECT_EQ(s.bestVertexCount, 10);
}

// Over many random rounds, as the round loop runs it: tree, prune, tree. The points kept are
// exactly those the first tree gave three edges, in their old order, and the rebuilt tree is sound.
TEST_F(PruningTest, RandomRoundsKeepExactlyTheDegreeThreePoints) {
  for (std::uint32_t seed = 1; seed <= 60; ++seed) {
    std::mt19937 gen(seed);
    randomInstance(s, gen, 4 + static_cast<int>(seed % 30));
    mst(s);
    ASSERT_TRUE(treeIsValid(s)) << "seed " << seed;
    const int n = s.terminalCount;
    const int countBefore = s.vertexCount;
    std::vector<Point> expected;
    for (int v = n; v < countBefore; ++v) {
      if (s.vertexDegree[v] == 3) expected.push_back(vertex(s, v));
    }
    bohe(s);
    ASSERT_EQ(s.vertexCount - n, static_cast<int>(expected.size())) << "seed " << seed;
    ASSERT_LE(s.vertexCount, countBefore);
    for (int k = 0; k < static_cast<int>(expected.size()); ++k) {
      ASSERT_TRUE(isNear(vertex(s, n + k), expected[k], 0)) << "seed " << seed;
      ASSERT_EQ(s.vertexDegree[n + k], 3) << "seed " << seed;
    }
    mst(s);
    for (int v = n; v < s.vertexCount; ++v) ASSERT_EQ(s.vertexKind[v], 1) << "seed " << seed;
    ASSERT_TRUE(treeIsValid(s)) << "seed " << seed;
    for (int i = 0; i < n; ++i) {
      ASSERT_EQ(s.vertexX[i], s.savedX[i]) << "seed " << seed;
      ASSERT_EQ(s.vertexY[i], s.savedY[i]) << "seed " << seed;
    }
  }
}

}  // namespace
}  // namespace drevanti::test_support
