// The Fermat point of three vertices: the apex of the equilateral triangle (ihoujin), the point
// itself (musoubana appends it, msbn2 moves a vertex to it), the random offset, and what happens
// when the slopes of the construction have no finite value.
#include "steiner/fermat_point.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "steiner_test_support.h"

namespace drevanti::test_support {
namespace {

class FermatPointTest : public SolverTest {
 protected:
  // The triple under construction is vertices 0, 1 and 2 of a point set of three.
  void place(Point p1, Point p2, Point p3) { setTerminals(s, {p1, p2, p3}); }

  // cos(2 pi 0.25) and sin(2 pi 0.5) vanish up to rounding, leaving the constructed point itself.
  void withoutOffset() { host.scripted().script({0.25f, 0.5f}); }

  // ihoujin then musoubana on (0, 1, 2); returns the appended point.
  Point construct() {
    ihoujin(s, 0, 1, 2);
    musoubana(s, host.random(), 0, 1, 2);
    return vertex(s, s.vertexCount - 1);
  }

  Point apex() const { return {s.apexX, s.apexY}; }
};

// ---- The apex -------------------------------------------------------------------------------

TEST_F(FermatPointTest, ApexStandsOnTheSideAwayFromTheThirdPoint) {
  place({0, 0}, {4, 0}, {1, 3});
  ihoujin(s, 0, 1, 2);
  EXPECT_TRUE(isNear(apex(), {2, -2 * kSqrt3}, 1e-12));
}

TEST_F(FermatPointTest, ApexDoesNotDependOnWhichEndpointComesFirst) {
  place({4, 0}, {0, 0}, {1, 3});
  ihoujin(s, 0, 1, 2);
  EXPECT_TRUE(isNear(apex(), {2, -2 * kSqrt3}, 1e-12));
}

TEST_F(FermatPointTest, ApexFollowsAMirroredThirdPoint) {
  place({0, 0}, {4, 0}, {1, -3});
  ihoujin(s, 0, 1, 2);
  EXPECT_TRUE(isNear(apex(), {2, 2 * kSqrt3}, 1e-12));
}

TEST_F(FermatPointTest, ThirdPointOnTheLineLeavesTheApexAsItWas) {
  s.apexX = 7.25;
  s.apexY = -11.5;
  place({0, 0}, {4, 0}, {2, 0});
  ihoujin(s, 0, 1, 2);
  EXPECT_EQ(s.apexX, 7.25);
  EXPECT_EQ(s.apexY, -11.5);
}

TEST_F(FermatPointTest, ApexCompletesAnEquilateralTriangleOppositeTheThirdPoint) {
  std::mt19937 gen(20240611);
  std::uniform_real_distribution<double> coordinate(0, 1000);
  for (int trial = 0; trial < 500; ++trial) {
    const Point p1{coordinate(gen), coordinate(gen)};
    const Point p2{coordinate(gen), coordinate(gen)};
    const Point p3{coordinate(gen), coordinate(gen)};
    place(p1, p2, p3);
    ihoujin(s, 0, 1, 2);
    const Point a = apex();
    const double side = distance(p1, p2);
    ASSERT_NEAR(distance(a, p1), side, 1e-9 * side) << "trial " << trial;
    ASSERT_NEAR(distance(a, p2), side, 1e-9 * side) << "trial " << trial;
    const double apexSide = (p2.x - p1.x) * (a.y - p1.y) - (p2.y - p1.y) * (a.x - p1.x);
    const double thirdSide = (p2.x - p1.x) * (p3.y - p1.y) - (p2.y - p1.y) * (p3.x - p1.x);
    ASSERT_LT(apexSide * thirdSide, 0) << "trial " << trial;
  }
}

TEST_F(FermatPointTest, ApexDrawsNoRandomNumber) {
  place({0, 0}, {4, 0}, {1, 3});
  ihoujin(s, 0, 1, 2);
  ihoujin(s, 1, 0, 2);
  ihoujin(s, 0, 2, 1);
  EXPECT_EQ(host.scripted().draws(), 0);
}

// ---- The apex on a vertical side --------------------------------------------------------------

TEST_F(FermatPointTest, VerticalSideTakesTheApexAwayFromTheThirdPoint) {
  place({0, 0}, {0, 4}, {3, 1});
  ihoujin(s, 0, 1, 2);
  EXPECT_TRUE(isNear(apex(), {-2 * kSqrt3, 2}, 1e-12));

  place({0, 0}, {0, 4}, {-3, 1});
  ihoujin(s, 0, 1, 2);
  EXPECT_TRUE(isNear(apex(), {2 * kSqrt3, 2}, 1e-12));
}

TEST_F(FermatPointTest, VerticalSideDoesNotDependOnWhichEndpointComesFirst) {
  place({0, 4}, {0, 0}, {3, 1});
  ihoujin(s, 0, 1, 2);
  EXPECT_TRUE(isNear(apex(), {-2 * kSqrt3, 2}, 1e-12));

  place({0, 4}, {0, 0}, {-3, 1});
  ihoujin(s, 0, 1, 2);
  EXPECT_TRUE(isNear(apex(), {2 * kSqrt3, 2}, 1e-12));
}

// Away from X = 0 the line's intercept is infinite as well as its slope, and their combination has
// no value at all.
TEST_F(FermatPointTest, VerticalSideAwayFromTheOriginTakesTheApexAwayFromTheThirdPoint) {
  place({5, 0}, {5, 4}, {8, 1});
  ihoujin(s, 0, 1, 2);
  EXPECT_TRUE(isNear(apex(), {5 - 2 * kSqrt3, 2}, 1e-12));

  place({5, 4}, {5, 0}, {2, 1});
  ihoujin(s, 0, 1, 2);
  EXPECT_TRUE(isNear(apex(), {5 + 2 * kSqrt3, 2}, 1e-12));
}

TEST_F(FermatPointTest, ThirdPointOnAVerticalSideLineLeavesTheApexAsItWas) {
  s.apexX = -3.5;
  s.apexY = 9.75;
  place({5, 0}, {5, 4}, {5, 9});
  ihoujin(s, 0, 1, 2);
  EXPECT_EQ(s.apexX, -3.5);
  EXPECT_EQ(s.apexY, 9.75);
}

TEST_F(FermatPointTest, NearlyVerticalSideTakesTheApexAwayFromTheThirdPoint) {
  for (double dx : {1e-310, 1e-300, 1e-200, 1e-12, -1e-12, -1e-300, -1e-310}) {
    place({0, 0}, {dx, 4}, {3, 1});
    ihoujin(s, 0, 1, 2);
    EXPECT_TRUE(isNear(apex(), {-2 * kSqrt3, 2}, 1e-9)) << "dx = " << dx;

    place({5, 0}, {5 + dx, 4}, {2, 1});
    ihoujin(s, 0, 1, 2);
    EXPECT_TRUE(isNear(apex(), {5 + 2 * kSqrt3, 2}, 1e-9)) << "dx = " << dx;
  }
}

// ---- The constructed point -------------------------------------------------------------------

TEST_F(FermatPointTest, AppendsTheFermatPointAsANewSteinerPoint) {
  place({0, 0}, {4, 0}, {1, 3});
  withoutOffset();
  const Point f = construct();
  EXPECT_EQ(s.vertexCount, 4);
  EXPECT_EQ(s.vertexKind[3], 1);
  EXPECT_TRUE(isNear(f, {1.3021695, 1.0467458}, 1e-6));
  EXPECT_NEAR(angleDegrees(f, {0, 0}, {4, 0}), 120, 1e-6);
  EXPECT_NEAR(angleDegrees(f, {4, 0}, {1, 3}), 120, 1e-6);
  EXPECT_NEAR(angleDegrees(f, {1, 3}, {0, 0}), 120, 1e-6);
}

TEST_F(FermatPointTest, SwappedEndpointsGiveTheSamePoint) {
  place({4, 0}, {0, 0}, {1, 3});
  withoutOffset();
  EXPECT_TRUE(isNear(construct(), {1.3021695, 1.0467458}, 1e-6));
}

TEST_F(FermatPointTest, MirroredThirdPointGivesTheMirroredPoint) {
  place({0, 0}, {4, 0}, {1, -3});
  withoutOffset();
  const Point f = construct();
  EXPECT_TRUE(isNear(apex(), {2, 2 * kSqrt3}, 1e-12));
  EXPECT_TRUE(isNear(f, {1.3021695, -1.0467458}, 1e-6));
}

// Above 120 degrees at the third vertex there is no interior Fermat point: the construction gives
// the second intersection, beyond the third vertex as seen from the apex, from where the side
// P1-P2 is seen under 120 degrees and the other two sides under 60.
TEST_F(FermatPointTest, WideAngleAtTheThirdVertexGivesThePointBeyondIt) {
  const Point p1{0, 0}, p2{10, 0}, p3{1, 1};
  place(p1, p2, p3);
  withoutOffset();
  const Point f = construct();
  EXPECT_TRUE(isNear(apex(), {5, -5 * kSqrt3}, 1e-12));
  EXPECT_TRUE(isNear(f, {0.9185332, 1.1967474}, 1e-6));
  EXPECT_GT(distance(f, apex()), distance(p3, apex()));
  EXPECT_NEAR(angleDegrees(p3, apex(), f), 180, 1e-6);
  EXPECT_NEAR(angleDegrees(f, p1, p2), 120, 1e-6);
  EXPECT_NEAR(angleDegrees(f, p1, p3), 60, 1e-6);
  EXPECT_NEAR(angleDegrees(f, p3, p2), 60, 1e-6);
}

// With a corner of exactly 120 degrees the Fermat point is that corner.
TEST_F(FermatPointTest, CornerOfOneHundredTwentyDegreesGivesTheCornerItself) {
  place({0, 0}, {10, 0}, {-5, 5 * kSqrt3});
  withoutOffset();
  EXPECT_TRUE(isNear(construct(), {0, 0}, 1e-6));
}

TEST_F(FermatPointTest, SeesEverySideUnderOneHundredTwentyDegrees) {
  std::mt19937 gen(7);
  std::uniform_real_distribution<double> coordinate(0, 1000);
  int checked = 0;
  while (checked < 300) {
    const Point p1{coordinate(gen), coordinate(gen)};
    const Point p2{coordinate(gen), coordinate(gen)};
    const Point p3{coordinate(gen), coordinate(gen)};
    // Only triangles whose angles are all below 120 degrees, and not too flat to measure.
    if (angleDegrees(p1, p2, p3) > 115 || angleDegrees(p2, p3, p1) > 115 ||
        angleDegrees(p3, p1, p2) > 115 || angleDegrees(p1, p2, p3) < 5 ||
        angleDegrees(p2, p3, p1) < 5 || angleDegrees(p3, p1, p2) < 5) {
      continue;
    }
    ++checked;
    place(p1, p2, p3);
    withoutOffset();
    const Point f = construct();
    ASSERT_TRUE(isFinite(f));
    ASSERT_NEAR(angleDegrees(f, p1, p2), 120, 1e-6) << "triangle " << checked;
    ASSERT_NEAR(angleDegrees(f, p2, p3), 120, 1e-6) << "triangle " << checked;
    ASSERT_NEAR(angleDegrees(f, p3, p1), 120, 1e-6) << "triangle " << checked;
  }
}

TEST_F(FermatPointTest, GivenVerticesAndApexComeBackAsTheyWere) {
  const Point p1{123.456, 78.9}, p2{234.567, 98.7}, p3{150.1, 200.3};
  place(p1, p2, p3);
  ihoujin(s, 0, 1, 2);
  const Point apexBefore = apex();
  musoubana(s, host.random(), 0, 1, 2);
  EXPECT_TRUE(isNear(vertex(s, 0), p1, 1e-12));
  EXPECT_TRUE(isNear(vertex(s, 1), p2, 1e-12));
  EXPECT_TRUE(isNear(vertex(s, 2), p3, 1e-12));
  EXPECT_TRUE(isNear(apex(), apexBefore, 1e-12));
  EXPECT_EQ(s.vertexKind[0], 0);
  EXPECT_EQ(s.vertexKind[1], 0);
  EXPECT_EQ(s.vertexKind[2], 0);
}

// ---- The random offset -------------------------------------------------------------------------

class RandomOffsetTest : public FermatPointTest {
 protected:
  // The reference triangle; its apex is (2, -2 sqrt 3) and the line runs from there through (1, 3).
  Point constructWith(std::initializer_list<float> draws) {
    place({0, 0}, {4, 0}, {1, 3});
    host.scripted().script(draws);
    return construct();
  }
  static double lineY(double x) {
    const Point a{2, -2 * kSqrt3}, p3{1, 3};
    return a.y + (x - a.x) * (p3.y - a.y) / (p3.x - a.x);
  }
};

TEST_F(RandomOffsetTest, FirstDrawMovesAlongTheLineSecondDrawMovesOffIt) {
  const Point exact = constructWith({0.25f, 0.5f});
  const Point alongPlus = constructWith({0.0f, 0.5f});
  const Point alongMinus = constructWith({0.5f, 0.5f});
  const Point up = constructWith({0.25f, 0.25f});
  const Point down = constructWith({0.25f, 0.75f});

  EXPECT_NEAR(exact.y, lineY(exact.x), 1e-12);
  EXPECT_NEAR(alongPlus.x, exact.x + kOffset, 1e-12);
  EXPECT_NEAR(alongPlus.y, lineY(alongPlus.x), 1e-12);
  EXPECT_NEAR(alongMinus.x, exact.x - kOffset, 1e-12);
  EXPECT_NEAR(alongMinus.y, lineY(alongMinus.x), 1e-12);
  EXPECT_NEAR(up.x, exact.x, 1e-12);
  EXPECT_NEAR(up.y, exact.y + kOffset, 1e-12);
  EXPECT_NEAR(down.x, exact.x, 1e-12);
  EXPECT_NEAR(down.y, exact.y - kOffset, 1e-12);
}

TEST_F(RandomOffsetTest, OffsetStaysWithinItsRadius) {
  const Point exact = constructWith({0.25f, 0.5f});
  for (int trial = 0; trial < 200; ++trial) {
    const Point p = constructWith({});
    ASSERT_LE(std::abs(p.x - exact.x), kOffset + 1e-12) << "trial " << trial;
    ASSERT_LE(std::abs(p.y - lineY(p.x)), kOffset + 1e-12) << "trial " << trial;
  }
}

TEST_F(RandomOffsetTest, EachConstructionDrawsExactlyTwoNumbers) {
  place({0, 0}, {4, 0}, {1, 3});
  addSteinerPoint(s, {50, 50});
  ihoujin(s, 0, 1, 2);
  musoubana(s, host.random(), 0, 1, 2);
  EXPECT_EQ(host.scripted().draws(), 2);
  ihoujin(s, 0, 1, 2);
  msbn2(s, host.random(), 3, 0, 1, 2);
  EXPECT_EQ(host.scripted().draws(), 4);
}

// ---- Moving an existing vertex -----------------------------------------------------------------

TEST_F(FermatPointTest, MovingAVertexOverwritesItAndAddsNone) {
  place({0, 0}, {4, 0}, {1, 3});
  const Long target = addSteinerPoint(s, {50, 50});
  s.vertexKind[target] = 2;
  const Point beyond{60, 70};
  s.vertexX[4] = beyond.x;
  s.vertexY[4] = beyond.y;
  withoutOffset();
  ihoujin(s, 0, 1, 2);
  msbn2(s, host.random(), target, 0, 1, 2);
  EXPECT_EQ(s.vertexCount, 4);
  EXPECT_EQ(s.vertexKind[target], 1);
  EXPECT_TRUE(isNear(vertex(s, target), {1.3021695, 1.0467458}, 1e-6));
  EXPECT_EQ(vertex(s, 4).x, beyond.x);
  EXPECT_EQ(vertex(s, 4).y, beyond.y);
}

TEST_F(FermatPointTest, MovingAVertexBeyondAWideAngle) {
  place({0, 0}, {10, 0}, {1, 1});
  const Long target = addSteinerPoint(s, {-40, 25});
  withoutOffset();
  ihoujin(s, 0, 1, 2);
  msbn2(s, host.random(), target, 0, 1, 2);
  EXPECT_EQ(s.vertexCount, 4);
  EXPECT_TRUE(isNear(vertex(s, target), {0.9185332, 1.1967474}, 1e-6));
}

// ---- The capacity of the vertex arrays ---------------------------------------------------------

TEST_F(FermatPointTest, FullVertexArraysTakeNoNewPointAndDrawNothing) {
  place({0, 0}, {4, 0}, {1, 3});
  s.vertexCount = kVertexCapacity;
  s.vertexX[100] = 777;
  s.vertexY[100] = 888;
  s.vertexKind[100] = 1;
  ihoujin(s, 0, 1, 2);
  const Point apexBefore = apex();
  musoubana(s, host.random(), 0, 1, 2);
  EXPECT_EQ(s.vertexCount, kVertexCapacity);
  EXPECT_EQ(host.scripted().draws(), 0);
  EXPECT_EQ(s.vertexX[100], 777);
  EXPECT_EQ(s.vertexY[100], 888);
  EXPECT_EQ(vertex(s, 0).x, 0);
  EXPECT_EQ(vertex(s, 1).x, 4);
  EXPECT_EQ(vertex(s, 2).y, 3);
  EXPECT_EQ(s.apexX, apexBefore.x);
  EXPECT_EQ(s.apexY, apexBefore.y);
}

TEST_F(FermatPointTest, LastFreeSlotStillTakesAPoint) {
  place({0, 0}, {4, 0}, {1, 3});
  s.vertexCount = kVertexCapacity - 1;
  withoutOffset();
  ihoujin(s, 0, 1, 2);
  musoubana(s, host.random(), 0, 1, 2);
  EXPECT_EQ(s.vertexCount, kVertexCapacity);
  EXPECT_EQ(s.vertexKind[100], 1);
  EXPECT_TRUE(isNear(vertex(s, 100), {1.3021695, 1.0467458}, 1e-6));
}

// ---- Degenerate lines --------------------------------------------------------------------------

// The triangle is symmetric about X = 2, so the line from the apex to the third vertex is vertical
// up to rounding; the Fermat point is on the axis, where tan 60 = 2 / y.
TEST_F(FermatPointTest, VerticalApexLineGivesThePointOnTheAxis) {
  place({0, 0}, {4, 0}, {2, 3});
  withoutOffset();
  const Point f = construct();
  EXPECT_TRUE(isNear(f, {2, 2 / kSqrt3}, 1e-6));

  place({4, 0}, {0, 0}, {2, -3});
  withoutOffset();
  EXPECT_TRUE(isNear(construct(), {2, -2 / kSqrt3}, 1e-6));
}

TEST_F(FermatPointTest, VerticalApexLineKeepsTheTwoDrawsAndTheirOrder) {
  place({0, 0}, {4, 0}, {2, 3});
  host.scripted().script({0.0f, 0.25f});
  const Point f = construct();
  EXPECT_EQ(host.scripted().draws(), 2);
  EXPECT_NEAR(f.x, 2 + kOffset, 1e-9);
  EXPECT_NEAR(f.y, 2 / kSqrt3 + kOffset, 1e-9);
}

// An apex left over from another construction, exactly above the third vertex: the circle is
// centred at (2, -10/3) and passes through (0, 0), and the point is where the line X = 2 leaves
// it toward the third vertex.
TEST_F(FermatPointTest, ExactlyVerticalApexLineTakesTheIntersectionTowardTheThirdVertex) {
  const double radius = std::sqrt(4 + 100.0 / 9);
  place({0, 0}, {4, 0}, {2, 3});
  s.apexX = 2;
  s.apexY = -10;
  withoutOffset();
  musoubana(s, host.random(), 0, 1, 2);
  EXPECT_TRUE(isNear(vertex(s, 3), {2, -10.0 / 3 + radius}, 1e-9));

  place({0, 0}, {4, 0}, {2, -3});
  s.apexX = 2;
  s.apexY = 10;
  withoutOffset();
  musoubana(s, host.random(), 0, 1, 2);
  EXPECT_TRUE(isNear(vertex(s, 3), {2, 10.0 / 3 - radius}, 1e-9));
}

// The vertical line X = 100 passes the circle (centre (104/3, -10/3), radius about 34.8) by: with
// no intersection the point is the line's nearest point to the centre.
TEST_F(FermatPointTest, VerticalApexLineMissingTheCircleGivesItsNearestPoint) {
  place({0, 0}, {4, 0}, {100, 50});
  s.apexX = 100;
  s.apexY = -10;
  withoutOffset();
  musoubana(s, host.random(), 0, 1, 2);
  EXPECT_TRUE(isNear(vertex(s, 3), {100, -10.0 / 3}, 1e-9));
}

// An apex that is not on the circle through the side's endpoints (left over from another
// construction): the circle is centred at (2, -10) with radius sqrt 104, and the line from
// (2, -30) through (30, -16) stays about 17.9 from the centre, so the discriminant is negative.
// Counting it as zero gives the foot of the perpendicular from the centre, (10, -26).
TEST_F(FermatPointTest, NegativeDiscriminantGivesTheLinesNearestPointToTheCentre) {
  place({0, 0}, {4, 0}, {30, -16});
  s.apexX = 2;
  s.apexY = -30;
  withoutOffset();
  musoubana(s, host.random(), 0, 1, 2);
  EXPECT_EQ(s.vertexCount, 4);
  EXPECT_TRUE(isNear(vertex(s, 3), {10, -26}, 1e-9));
}

// A collinear triple leaves the apex of the reference triangle in place; the construction then runs
// from that apex, (2, -2 sqrt 3), whose line to (2, 0) is vertical, and meets the reference
// triangle's circle at its top, (2, 2 / sqrt 3).
TEST_F(FermatPointTest, CollinearTripleBuildsFromTheApexLeftByThePreviousConstruction) {
  place({0, 0}, {4, 0}, {1, 3});
  ihoujin(s, 0, 1, 2);
  s.vertexX[2] = 2;
  s.vertexY[2] = 0;
  withoutOffset();
  const Point f = construct();
  EXPECT_TRUE(isNear(apex(), {2, -2 * kSqrt3}, 1e-12));
  EXPECT_TRUE(isNear(f, {2, 2 / kSqrt3}, 1e-6));
}

TEST_F(FermatPointTest, ApexOnTheThirdVertexStillGivesAFinitePointOnTheCircle) {
  place({0, 0}, {4, 0}, {2, 3});
  s.apexX = 2;
  s.apexY = 3;
  withoutOffset();
  musoubana(s, host.random(), 0, 1, 2);
  EXPECT_EQ(host.scripted().draws(), 2);
  const Point f = vertex(s, 3);
  ASSERT_TRUE(isFinite(f));
  const Point centre{2, 1};
  EXPECT_NEAR(f.x, 2, 1e-9);
  EXPECT_NEAR(distance(f, centre), distance({0, 0}, centre), 1e-9);
}

TEST_F(FermatPointTest, NearlyVerticalApexLinesNeverGiveANonFiniteCoordinate) {
  // Third vertices straight above or below the apex, and a hair to either side of it.
  for (double dx : {0.0, 1e-300, -1e-300, 1e-15, -1e-15, 1e-9, -1e-9}) {
    for (double y3 : {3.0, 0.5, -20.0}) {
      place({0, 0}, {4, 0}, {2 + dx, y3});
      s.apexX = 2;
      s.apexY = -2 * kSqrt3;
      musoubana(s, host.random(), 0, 1, 2);
      ASSERT_TRUE(isFinite(vertex(s, 3))) << "dx = " << dx << ", y3 = " << y3;
      ASSERT_NEAR(vertex(s, 3).x, 2, 1e-3) << "dx = " << dx << ", y3 = " << y3;
    }
  }
}

TEST_F(FermatPointTest, SteepApexLinesKeepTheOffsetTiny) {
  // Slopes near 6.5e5 and 6.5e7: read off the line at the offset X, the point would move by up to
  // 65 (or 6500) along it. The Fermat point of (0, 0), (4, 0), (2, 3) is (2, 2 / sqrt 3); moving
  // the third vertex by 1e-5 or less moves it by far less than the tolerance.
  for (double dx : {1e-5, -1e-5, 1e-7}) {
    for (float r : {0.0f, 0.125f, 0.75f}) {
      place({0, 0}, {4, 0}, {2 + dx, 3});
      host.scripted().script({r, r});
      const Point f = construct();
      EXPECT_NEAR(f.x, 2, 2e-3) << "dx = " << dx << ", r = " << r;
      EXPECT_NEAR(f.y, 2 / kSqrt3, 2e-3) << "dx = " << dx << ", r = " << r;
    }
  }
}

// ---- Known triangles, kept as a fixture ----------------------------------------------------

TEST_F(FermatPointTest, KnownTrianglesFromTheFixture) {
  const auto path = fixturePath("fermat_examples.txt");
  std::ifstream in(path);
  ASSERT_TRUE(in) << "cannot open " << path;
  std::string line;
  int rows = 0;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    Point p1, p2, p3, expectedApex, expectedPoint;
    fields >> p1.x >> p1.y >> p2.x >> p2.y >> p3.x >> p3.y >> expectedApex.x >> expectedApex.y >>
        expectedPoint.x >> expectedPoint.y;
    ASSERT_TRUE(fields) << "bad row: " << line;
    ++rows;
    place(p1, p2, p3);
    withoutOffset();
    const Point f = construct();
    EXPECT_TRUE(isNear(apex(), expectedApex, 1e-6)) << line;
    EXPECT_TRUE(isNear(f, expectedPoint, 1e-6)) << line;
  }
  EXPECT_GE(rows, 6);
}

}  // namespace
}  // namespace drevanti::test_support
