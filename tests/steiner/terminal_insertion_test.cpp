// Inserting one Steiner point at a terminal: which corner tase1 picks (ties keep the earlier pair,
// no threshold, only the first three neighbours count), the order in which both procedures pass
// the neighbours on, and what the insertion leaves behind.
#include "steiner/terminal_insertion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "geometry/spanning_tree.h"
#include "steiner_test_support.h"
#include "tree_invariants.h"

namespace drevanti::test_support {
namespace {

// Fermat point of the right isosceles triangle (0, 0), (10, 0), (0, 10): on the diagonal, at
// t = 5 - 5 / sqrt 3 from both legs (there tan 15 = t / (10 - t)).
constexpr double kRightFermat = 5 - 5 / kSqrt3;
// Apex of the equilateral triangle on a side of length 10 along an axis: 5 along the side and
// 5 sqrt 3 away from it.
constexpr double kApexHeight = 5 * kSqrt3;

class TerminalInsertionTest : public SolverTest {
 protected:
  // A terminal at the origin (vertex 0) whose recorded tree neighbours are vertices 1, 2, ...
  void terminalWith(std::initializer_list<Point> neighbours) {
    setTerminals(s, {{0, 0}});
    std::vector<Long> indices;
    for (const Point& p : neighbours) {
      const Long v = s.vertexCount;
      s.vertexX[v] = s.savedX[v] = p.x;
      s.vertexY[v] = s.savedY[v] = p.y;
      s.vertexKind[v] = 0;
      ++s.vertexCount;
      indices.push_back(v);
    }
    s.terminalCount = s.vertexCount;
    int d = 0;
    for (Long v : indices) s.treeNeighbour(0, d++) = v;
    s.vertexDegree[0] = static_cast<Integer>(d);
    before_ = s;
    host.scripted().script({0.25f, 0.5f});  // no offset: the constructed point itself
  }

  Point inserted() const { return vertex(s, s.vertexCount - 1); }
  Point apex() const { return {s.apexX, s.apexY}; }

  // One new vertex, of kind 1, two random draws, and every earlier vertex where it was.
  ::testing::AssertionResult insertedExactlyOne() const {
    if (s.vertexCount != before_.vertexCount + 1) {
      return ::testing::AssertionFailure() << "vertexCount " << s.vertexCount;
    }
    if (s.vertexKind[s.vertexCount - 1] != 1) {
      return ::testing::AssertionFailure()
             << "new vertex has kind " << s.vertexKind[s.vertexCount - 1];
    }
    if (host.scripted().draws() != 2) {
      return ::testing::AssertionFailure() << host.scripted().draws() << " random draws";
    }
    for (int v = 0; v < before_.vertexCount; ++v) {
      if (!isNear(vertex(s, v), vertex(before_, v), 1e-12) ||
          s.vertexKind[v] != before_.vertexKind[v]) {
        return ::testing::AssertionFailure() << "vertex " << v << " changed";
      }
    }
    return ::testing::AssertionSuccess();
  }

 private:
  SolverState before_;
};

// ---- tase1: the narrowest of the three corners ---------------------------------------------

// Corners 90 (A-B), about 95.71 (B-C) and 174.29 (C-A) degrees: the point goes into the A-B
// corner, with the equilateral triangle on the terminal-A side, away from B.
TEST_F(TerminalInsertionTest, NarrowestCornerGetsThePoint) {
  terminalWith({{10, 0}, {0, 10}, {-10, -1}});
  tase1(solver, 0);
  EXPECT_TRUE(insertedExactlyOne());
  EXPECT_TRUE(isNear(inserted(), {kRightFermat, kRightFermat}, 1e-6));
  EXPECT_TRUE(isNear(apex(), {5, -kApexHeight}, 1e-9));
}

// A-B and B-C are both 90 degrees, C-A is straight: the tie keeps A-B.
TEST_F(TerminalInsertionTest, TieBetweenTheFirstTwoCornersKeepsTheFirst) {
  terminalWith({{10, 0}, {0, 10}, {-10, 0}});
  tase1(solver, 0);
  EXPECT_TRUE(insertedExactlyOne());
  EXPECT_TRUE(isNear(inserted(), {kRightFermat, kRightFermat}, 1e-6));
  EXPECT_TRUE(isNear(apex(), {5, -kApexHeight}, 1e-9));
}

// A-B is straight, B-C and C-A are both 90 degrees: the tie keeps B-C, so the point is in the
// upper left quadrant and the triangle stands on the terminal-B side, away from C.
TEST_F(TerminalInsertionTest, TieBetweenTheLastTwoCornersKeepsTheSecond) {
  terminalWith({{10, 0}, {-10, 0}, {0, 10}});
  tase1(solver, 0);
  EXPECT_TRUE(insertedExactlyOne());
  EXPECT_TRUE(isNear(inserted(), {-kRightFermat, kRightFermat}, 1e-6));
  EXPECT_TRUE(isNear(apex(), {-5, -kApexHeight}, 1e-9));
}

// Corners about 174.29 (A-B), 95.71 (B-C) and 90 (C-A) degrees: the C-A corner, passed on as
// (terminal, C, A).
TEST_F(TerminalInsertionTest, LastCornerWinsWhenItIsTheNarrowest) {
  terminalWith({{10, 0}, {-10, 1}, {0, -10}});
  tase1(solver, 0);
  EXPECT_TRUE(insertedExactlyOne());
  EXPECT_TRUE(isNear(inserted(), {kRightFermat, -kRightFermat}, 1e-6));
  EXPECT_TRUE(isNear(apex(), {-kApexHeight, -5}, 1e-9));
}

// Three corners of 120 degrees: no threshold stops the insertion, and the Fermat point of a
// triangle with a 120-degree corner is that corner, the terminal itself.
TEST_F(TerminalInsertionTest, WideCornersStillGetAPoint) {
  terminalWith({polar({0, 0}, 10, 0), polar({0, 0}, 10, 120), polar({0, 0}, 10, 240)});
  tase1(solver, 0);
  EXPECT_TRUE(insertedExactlyOne());
  EXPECT_TRUE(isNear(inserted(), {0, 0}, 1e-6));
}

// The fourth neighbour would make a corner of under 6 degrees with the first; it is not looked at.
TEST_F(TerminalInsertionTest, OnlyTheFirstThreeNeighboursCount) {
  terminalWith({{10, 0}, {0, 10}, {-10, -1}, {10, 1}});
  tase1(solver, 0);
  EXPECT_TRUE(insertedExactlyOne());
  EXPECT_TRUE(isNear(inserted(), {kRightFermat, kRightFermat}, 1e-6));
  EXPECT_TRUE(isNear(apex(), {5, -kApexHeight}, 1e-9));
}

// A neighbour on the terminal makes a corner of no angle, counted as 0, so that pair is chosen;
// its side has no length and no apex, and the point is still a finite one.
TEST_F(TerminalInsertionTest, NeighbourOnTheTerminalStillGivesAFinitePoint) {
  terminalWith({{10, 0}, {0, 0}, {-10, -1}});
  tase1(solver, 0);
  EXPECT_TRUE(insertedExactlyOne());
  EXPECT_TRUE(isFinite(inserted()));
}

// With the neighbours recorded by a real tree: the new point takes over the terminal's corner and,
// once the tree is rebuilt, joins the terminal and both neighbours of that corner.
TEST_F(TerminalInsertionTest, RebuiltTreeJoinsThePointToTheCorner) {
  setTerminals(s, {{-10, -1}, {0, 0}, {0, 10}, {10, 0}});
  mst(s);
  ASSERT_TRUE(treeIsValid(s));
  ASSERT_EQ(s.vertexDegree[1], 3);
  host.scripted().script({0.25f, 0.5f});
  tase1(solver, 1);
  ASSERT_EQ(s.vertexCount, 5);
  EXPECT_TRUE(isNear(vertex(s, 4), {kRightFermat, kRightFermat}, 1e-6));
  mst(s);
  ASSERT_TRUE(treeIsValid(s));
  ASSERT_EQ(s.vertexDegree[4], 3);
  std::vector<Long> around{s.treeNeighbour(4, 0), s.treeNeighbour(4, 1), s.treeNeighbour(4, 2)};
  std::sort(around.begin(), around.end());
  EXPECT_EQ(around, (std::vector<Long>{1, 2, 3}));
  EXPECT_EQ(s.vertexDegree[1], 2);
}

// ---- tase2: the one corner of a degree-2 terminal ------------------------------------------

TEST_F(TerminalInsertionTest, DegreeTwoTerminalPassesItsNeighboursInRecordedOrder) {
  terminalWith({{10, 0}, {0, 10}});
  tase2(solver, 0);
  EXPECT_TRUE(insertedExactlyOne());
  EXPECT_TRUE(isNear(inserted(), {kRightFermat, kRightFermat}, 1e-6));
  // The triangle stands on the side to the first recorded neighbour, away from the second.
  EXPECT_TRUE(isNear(apex(), {5, -kApexHeight}, 1e-9));
}

TEST_F(TerminalInsertionTest, DegreeTwoTerminalWithNeighboursRecordedTheOtherWayRound) {
  terminalWith({{0, 10}, {10, 0}});
  tase2(solver, 0);
  EXPECT_TRUE(insertedExactlyOne());
  EXPECT_TRUE(isNear(inserted(), {kRightFermat, kRightFermat}, 1e-6));
  EXPECT_TRUE(isNear(apex(), {-kApexHeight, 5}, 1e-9));
}

TEST_F(TerminalInsertionTest, DegreeTwoTerminalDoesNotTestItsCorner) {
  terminalWith({polar({0, 0}, 10, 0), polar({0, 0}, 10, 150)});
  tase2(solver, 0);
  EXPECT_TRUE(insertedExactlyOne());
  // Above 120 degrees at the terminal the construction gives a point on the far side of it.
  EXPECT_TRUE(isFinite(inserted()));
}

}  // namespace
}  // namespace drevanti::test_support
