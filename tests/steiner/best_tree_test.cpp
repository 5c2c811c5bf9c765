// Measuring the current tree and keeping the best one: only strictly shorter trees are taken, a
// taken tree replaces the whole snapshot and is drawn once, and a stop asked for at the yield
// ends the run before anything is measured.
#include "steiner/best_tree.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "geometry/spanning_tree.h"
#include "steiner_test_support.h"
#include "tree_invariants.h"

namespace drevanti::test_support {
namespace {

class BestTreeTest : public SolverTest {
 protected:
  void SetUp() override {
    // The tree (0,0)-(3,0)-(3,4): edges of exactly 3 and 4.
    setTerminals(s, {{0, 0}, {3, 0}, {3, 4}});
    mst(s);
    ASSERT_TRUE(treeIsValid(s));
    s.bestLength = kNoBestLength;
  }

  ::testing::AssertionResult snapshotIsCurrentTree() const {
    if (s.bestVertexCount != s.vertexCount) {
      return ::testing::AssertionFailure() << "bestVertexCount " << s.bestVertexCount;
    }
    for (int i = 0; i < s.vertexCount; ++i) {
      if (s.bestX[i] != s.vertexX[i] || s.bestY[i] != s.vertexY[i] ||
          s.bestKind[i] != s.vertexKind[i]) {
        return ::testing::AssertionFailure() << "best vertex " << i;
      }
    }
    for (int e = 0; e + 1 < s.vertexCount; ++e) {
      if (s.bestEdgeFrom[e] != s.edgeFrom[e] || s.bestEdgeTo[e] != s.edgeTo[e]) {
        return ::testing::AssertionFailure() << "best edge " << e;
      }
    }
    return ::testing::AssertionSuccess();
  }
};

// ---- The length of the current tree ----------------------------------------------------------

TEST_F(BestTreeTest, LengthIsTheSumOfTheTreeEdges) {
  EXPECT_EQ(edgesum(s), 7);
}

// Slots from vertexCount - 1 on are left over from larger trees and never count.
TEST_F(BestTreeTest, LengthIgnoresLeftOverEdgeSlots) {
  s.vertexX[5] = 1000;
  s.vertexY[5] = 1000;
  s.edgeFrom[2] = 0;
  s.edgeTo[2] = 5;
  s.edgeFrom[3] = 2;
  s.edgeTo[3] = 5;
  EXPECT_EQ(edgesum(s), 7);
}

TEST_F(BestTreeTest, TreesWithoutEdgesHaveNoLength) {
  s.vertexCount = 1;
  EXPECT_EQ(edgesum(s), 0);
  s.vertexCount = 0;
  EXPECT_EQ(edgesum(s), 0);
}

TEST_F(BestTreeTest, LengthMatchesTheSpanningTreeOfRandomPointSets) {
  std::mt19937 gen(4242);
  for (int trial = 0; trial < 30; ++trial) {
    randomInstance(s, gen, 4 + trial);
    s.vertexCount = static_cast<Integer>(s.terminalCount);  // the terminals alone
    mst(s);
    ASSERT_TRUE(treeIsValid(s));
    const double expected = terminalMstLength(s);
    ASSERT_NEAR(edgesum(s), expected, 1e-9 * expected) << "trial " << trial;
  }
}

// ---- Taking the best tree --------------------------------------------------------------------

TEST_F(BestTreeTest, FirstTreeOfAnInstanceIsTakenAndDrawn) {
  hantei(solver);
  EXPECT_EQ(s.bestLength, 7);
  EXPECT_EQ(s.improvementCount, 1);
  EXPECT_TRUE(snapshotIsCurrentTree());
  EXPECT_TRUE(bestTreeIsValid(s));
  EXPECT_EQ(host.repaints(), 1);
  EXPECT_EQ(host.doEventsCalls(), 1);
}

TEST_F(BestTreeTest, SameTreeAgainIsNotTaken) {
  hantei(solver);
  hantei(solver);
  EXPECT_EQ(s.improvementCount, 1);
  EXPECT_EQ(host.repaints(), 1);
  EXPECT_EQ(host.doEventsCalls(), 2);
}

// The mirrored tree (0,0)-(3,0)-(3,-4) is just as long: the first one found stays the best.
TEST_F(BestTreeTest, TreeOfEqualLengthDoesNotReplaceTheBest) {
  hantei(solver);
  s.vertexY[2] = -4;
  mst(s);
  ASSERT_EQ(edgesum(s), 7);
  hantei(solver);
  EXPECT_EQ(s.bestY[2], 4);
  EXPECT_EQ(s.improvementCount, 1);
  EXPECT_EQ(host.repaints(), 1);
}

TEST_F(BestTreeTest, TreeShorterByTheLeastAmountIsTaken) {
  s.bestLength = std::nextafter(7.0, std::numeric_limits<double>::infinity());
  s.improvementCount = 4;
  hantei(solver);
  EXPECT_EQ(s.bestLength, 7);
  EXPECT_EQ(s.improvementCount, 5);
  EXPECT_TRUE(snapshotIsCurrentTree());
  EXPECT_EQ(host.repaints(), 1);
}

TEST_F(BestTreeTest, LongerTreeIsNotTaken) {
  s.bestLength = 6.5;
  hantei(solver);
  EXPECT_EQ(s.bestLength, 6.5);
  EXPECT_EQ(s.improvementCount, 0);
  EXPECT_EQ(s.bestVertexCount, 0);
  EXPECT_EQ(host.repaints(), 0);
}

// The drawing happens after the whole snapshot has been taken.
TEST_F(BestTreeTest, RepaintSeesTheNewBestTree) {
  int checked = 0;
  host.onRepaint = [&] {
    ++checked;
    EXPECT_EQ(s.bestLength, 7);
    EXPECT_EQ(s.improvementCount, 1);
    EXPECT_TRUE(snapshotIsCurrentTree());
  };
  hantei(solver);
  EXPECT_EQ(checked, 1);
}

// A tree with a Steiner leaf at (3, 10) is 13 long; without it the tree is 7 long and is taken,
// and the snapshot's slots beyond the smaller tree keep what the larger one left there.
TEST_F(BestTreeTest, SmallerTreeLeavesTheSlotsBeyondItAsTheyWere) {
  addSteinerPoint(s, {3, 10});
  mst(s);
  ASSERT_EQ(edgesum(s), 13);
  hantei(solver);
  ASSERT_EQ(s.bestVertexCount, 4);
  const Integer lastFrom = s.bestEdgeFrom[2], lastTo = s.bestEdgeTo[2];

  s.vertexCount = 3;
  mst(s);
  hantei(solver);
  EXPECT_EQ(s.bestLength, 7);
  EXPECT_EQ(s.bestVertexCount, 3);
  EXPECT_TRUE(snapshotIsCurrentTree());
  EXPECT_TRUE(bestTreeIsValid(s));
  EXPECT_EQ(s.bestX[3], 3);
  EXPECT_EQ(s.bestY[3], 10);
  EXPECT_EQ(s.bestKind[3], 1);
  EXPECT_EQ(s.bestEdgeFrom[2], lastFrom);
  EXPECT_EQ(s.bestEdgeTo[2], lastTo);
  EXPECT_EQ(s.improvementCount, 2);
  EXPECT_EQ(host.repaints(), 2);
}

// A new instance starts bestLength again, so a tree longer than the last instance's best is taken.
TEST_F(BestTreeTest, NewInstanceTakesItsFirstTreeWhateverTheLastBest) {
  hantei(solver);
  setTerminals(s, {{0, 0}, {30, 0}, {30, 40}});
  mst(s);
  s.bestLength = kNoBestLength;
  s.improvementCount = 0;
  hantei(solver);
  EXPECT_EQ(s.bestLength, 70);
  EXPECT_EQ(s.improvementCount, 1);
  EXPECT_TRUE(snapshotIsCurrentTree());
  EXPECT_EQ(host.repaints(), 2);
}

// ---- Stopping ------------------------------------------------------------------------------

TEST_F(BestTreeTest, StopAskedForAtTheYieldEndsTheRunBeforeMeasuring) {
  host.stopAtDoEvents(1);
  EXPECT_THROW(hantei(solver), ProgramEnded);
  EXPECT_EQ(host.stopSequences(), 1);
  EXPECT_EQ(host.repaints(), 0);
  EXPECT_EQ(s.bestLength, kNoBestLength);
  EXPECT_EQ(s.improvementCount, 0);
  EXPECT_EQ(s.bestVertexCount, 0);
}

TEST_F(BestTreeTest, StopLeavesTheEarlierBestTreeAsItWas) {
  hantei(solver);
  const SolverState taken = s;
  s.vertexY[2] = 1;  // a shorter tree, never measured
  mst(s);
  host.stopAtDoEvents(2);
  EXPECT_THROW(hantei(solver), ProgramEnded);
  EXPECT_EQ(host.stopSequences(), 1);
  EXPECT_EQ(host.repaints(), 1);
  EXPECT_EQ(s.bestLength, 7);
  EXPECT_EQ(s.improvementCount, 1);
  EXPECT_EQ(s.bestY[2], taken.bestY[2]);
  EXPECT_EQ(s.bestVertexCount, 3);
}

}  // namespace
}  // namespace drevanti::test_support
