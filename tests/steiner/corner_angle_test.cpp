// The corner angle at a vertex between two of its tree neighbours, including the corners that
// have no angle (a neighbour on the vertex) and the ones where rounding meets the ends of arccos.
#include "steiner/corner_angle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "steiner_test_support.h"

namespace drevanti::test_support {
namespace {

class CornerAngleTest : public SolverTest {
 protected:
  // Vertex 0 is the corner, 1 and 2 the two neighbours.
  double corner(Point v, Point p, Point q) {
    setTerminals(s, {v, p, q});
    return cornerAngle(s, 0, 1, 2);
  }
  static double degrees(double radians) { return radians / kTrueDegree; }
};

TEST_F(CornerAngleTest, RightAngleIsHalfOfPi) {
  EXPECT_NEAR(corner({0, 0}, {10, 0}, {0, 10}), kPiValue / 2, 1e-12);
  EXPECT_NEAR(corner({5, 5}, {5, -20}, {-7, 5}), kPiValue / 2, 1e-12);
}

// Corners of the terminal at (0, 0) with neighbours (10, 0), (0, 10) and (-10, -1): 90 degrees,
// 90 + atan(0.1) and 180 - atan(0.1).
TEST_F(CornerAngleTest, CornersOfAThreeNeighbourTerminal) {
  const double atanTenth = std::atan(0.1) / kTrueDegree;
  EXPECT_NEAR(degrees(corner({0, 0}, {10, 0}, {0, 10})), 90, 1e-9);
  EXPECT_NEAR(degrees(corner({0, 0}, {0, 10}, {-10, -1})), 90 + atanTenth, 1e-9);
  EXPECT_NEAR(degrees(corner({0, 0}, {-10, -1}, {10, 0})), 180 - atanTenth, 1e-9);
}

TEST_F(CornerAngleTest, EquilateralCornerIsSixtyDegrees) {
  EXPECT_NEAR(degrees(corner({0, 0}, {10, 0}, {5, 5 * kSqrt3})), 60, 1e-9);
}

TEST_F(CornerAngleTest, AgreesWithTheAngleBetweenTheDirectionsAndIsSymmetric) {
  std::mt19937 gen(99);
  std::uniform_real_distribution<double> coordinate(0, 1000);
  for (int trial = 0; trial < 1000; ++trial) {
    const Point v{coordinate(gen), coordinate(gen)};
    const Point p{coordinate(gen), coordinate(gen)};
    const Point q{coordinate(gen), coordinate(gen)};
    const double expected = angleDegrees(v, p, q);
    // Near 0 and 180 degrees the law of cosines loses digits; the rest must agree closely.
    if (expected < 1 || expected > 179) continue;
    const double pq = corner(v, p, q);
    const double qp = corner(v, q, p);
    ASSERT_NEAR(degrees(pq), expected, 1e-6) << "trial " << trial;
    ASSERT_EQ(pq, qp) << "trial " << trial;
  }
}

TEST_F(CornerAngleTest, NeighbourOnTheVertexGivesZero) {
  EXPECT_EQ(corner({3, 4}, {3, 4}, {10, 0}), 0);
  EXPECT_EQ(corner({3, 4}, {10, 0}, {3, 4}), 0);
  EXPECT_EQ(corner({3, 4}, {3, 4}, {3, 4}), 0);
}

TEST_F(CornerAngleTest, NeighboursOnOppositeSidesOfALineGiveAStraightAngle) {
  const double a = corner({0, 0}, {3, 0}, {-5, 0});
  ASSERT_TRUE(std::isfinite(a));
  EXPECT_NEAR(a, kPiValue, 1e-12);
  const double b = corner({1, 1}, {4, 5}, {-2, -3});
  ASSERT_TRUE(std::isfinite(b));
  EXPECT_NEAR(b, kPiValue, 1e-6);
}

TEST_F(CornerAngleTest, NeighboursInOneDirectionGiveZero) {
  const double a = corner({0, 0}, {3, 0}, {5, 0});
  ASSERT_TRUE(std::isfinite(a));
  EXPECT_NEAR(a, 0, 1e-12);
  const double b = corner({1, 1}, {4, 5}, {7, 9});
  ASSERT_TRUE(std::isfinite(b));
  EXPECT_NEAR(b, 0, 1e-6);
}

// Collinear points whose distances are not exact push the cosine a little past +-1.
TEST_F(CornerAngleTest, CollinearNeighboursNeverGiveANonFiniteAngle) {
  for (int k = 1; k <= 200; ++k) {
    const Point v{0.1 * k, 0.7 * k};
    const Point step{0.3 + 0.01 * k, 0.9 - 0.003 * k};
    const Point ahead{v.x + step.x, v.y + step.y};
    const Point further{v.x + 2.5 * step.x, v.y + 2.5 * step.y};
    const Point behind{v.x - 1.7 * step.x, v.y - 1.7 * step.y};

    const double same = corner(v, ahead, further);
    ASSERT_TRUE(std::isfinite(same)) << "k = " << k;
    ASSERT_NEAR(same, 0, 1e-6) << "k = " << k;

    const double opposite = corner(v, ahead, behind);
    ASSERT_TRUE(std::isfinite(opposite)) << "k = " << k;
    ASSERT_NEAR(opposite, kPiValue, 1e-6) << "k = " << k;
  }
}

TEST_F(CornerAngleTest, SteinerAngleIsOneHundredTwentyDegrees) {
  EXPECT_NEAR(steinerAngle(s), 2 * kPiValue / 3, 1e-15);
  EXPECT_NEAR(steinerAngle(s) / kTrueDegree, 120, 1e-9);
}

}  // namespace
}  // namespace drevanti::test_support
