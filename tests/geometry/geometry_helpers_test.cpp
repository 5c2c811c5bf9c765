// Distance, arcsine, arccosine and power.
#include "geometry/geometry_helpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <random>

#include "state/solver_state.h"

namespace drevanti {
namespace {

// ---------------------------------------------------------------------------------------------
// dist

TEST(Dist, ThreeFourFiveTriangle) {
  // 3^2 + 4^2 = 25 and its root are all exactly representable, so nothing may be lost.
  EXPECT_EQ(dist(0, 0, 3, 4), 5.0);
  EXPECT_EQ(dist(3, 4, 0, 0), 5.0);
  EXPECT_EQ(dist(-3, 0, 0, -4), 5.0);
  EXPECT_EQ(dist(10, 20, 16, 28), 10.0);
}

TEST(Dist, PointFromItselfIsExactlyZero) {
  EXPECT_EQ(dist(0, 0, 0, 0), 0.0);
  EXPECT_EQ(dist(123.456, 789.012, 123.456, 789.012), 0.0);
  EXPECT_EQ(dist(-1e300, 1e-300, -1e300, 1e-300), 0.0);
}

TEST(Dist, WithBothYZeroIsTheAbsoluteDifferenceOfX) {
  EXPECT_EQ(dist(2.5, 0, 1, 0), 1.5);
  EXPECT_EQ(dist(1, 0, 2.5, 0), 1.5);
  EXPECT_EQ(dist(-7, 0, 7, 0), 14.0);

  std::mt19937 rng(7);
  std::uniform_real_distribution<double> coordinate(-2000.0, 2000.0);
  for (int i = 0; i < 2000; ++i) {
    const double a = coordinate(rng), b = coordinate(rng);
    EXPECT_DOUBLE_EQ(dist(a, 0, b, 0), std::abs(a - b)) << a << " " << b;
  }
}

TEST(Dist, IsExactlySymmetricInItsTwoPoints) {
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> coordinate(0.0, 2000.0);
  for (int i = 0; i < 2000; ++i) {
    const double x1 = coordinate(rng), y1 = coordinate(rng);
    const double x2 = coordinate(rng), y2 = coordinate(rng);
    EXPECT_EQ(dist(x1, y1, x2, y2), dist(x2, y2, x1, y1));
  }
}

TEST(Dist, AgreesWithTheEuclideanNormOnScreenSizedPoints) {
  std::mt19937 rng(13);
  std::uniform_real_distribution<double> coordinate(0.0, 2000.0);
  for (int i = 0; i < 2000; ++i) {
    const double x1 = coordinate(rng), y1 = coordinate(rng);
    const double x2 = coordinate(rng), y2 = coordinate(rng);
    const double expected = std::hypot(x2 - x1, y2 - y1);
    EXPECT_NEAR(dist(x1, y1, x2, y2), expected, 1e-13 * std::max(1.0, expected));
  }
}

TEST(Dist, KeepsTheOrderOfArgumentsXThenY) {
  // A swap of the roles of x and y inside one point would change these.
  EXPECT_EQ(dist(0, 0, 0, 7), 7.0);
  EXPECT_EQ(dist(0, 7, 0, 0), 7.0);
  EXPECT_EQ(dist(1, 2, 4, 6), 5.0);    // dx 3, dy 4
  EXPECT_EQ(dist(1, 2, 6, 14), 13.0);  // dx 5, dy 12
}

// ---------------------------------------------------------------------------------------------
// arcsin

TEST(Arcsin, OfZeroIsZero) {
  EXPECT_EQ(arcsin(0.0), 0.0);
}

TEST(Arcsin, OfOneHalfIsPiOverSix) {
  EXPECT_NEAR(arcsin(0.5), std::numbers::pi / 6, 2e-16);
  EXPECT_NEAR(arcsin(0.5), 0.5235987755982989, 2e-16);
  EXPECT_NEAR(arcsin(-0.5), -std::numbers::pi / 6, 2e-16);
}

TEST(Arcsin, KnownAngles) {
  EXPECT_NEAR(arcsin(std::sqrt(0.5)), std::numbers::pi / 4, 1e-15);
  EXPECT_NEAR(arcsin(std::sqrt(3.0) / 2), std::numbers::pi / 3, 1e-15);
  EXPECT_NEAR(arcsin(0.6), std::atan2(3.0, 4.0), 1e-15);
}

TEST(Arcsin, IsOdd) {
  std::mt19937 rng(17);
  std::uniform_real_distribution<double> x(-0.999999, 0.999999);
  for (int i = 0; i < 2000; ++i) {
    const double v = x(rng);
    EXPECT_EQ(arcsin(-v), -arcsin(v)) << v;
  }
}

TEST(Arcsin, AgreesWithTheLibraryArcsineInsideTheDomain) {
  std::mt19937 rng(19);
  std::uniform_real_distribution<double> x(-0.9999, 0.9999);
  for (int i = 0; i < 5000; ++i) {
    const double v = x(rng);
    EXPECT_NEAR(arcsin(v), std::asin(v), 1e-12) << v;
  }
}

TEST(Arcsin, StaysInsideMinusToPlusHalfPiAndIsMonotone) {
  double previous = -std::numbers::pi / 2;
  for (int k = -1000; k <= 1000; ++k) {
    const double v = k / 1000.5;
    const double a = arcsin(v);
    EXPECT_GT(a, -std::numbers::pi / 2) << v;
    EXPECT_LT(a, std::numbers::pi / 2) << v;
    EXPECT_GT(a, previous) << v;
    previous = a;
  }
}

TEST(Arcsin, AtTheEndsOfTheDomainGivesExactlyHalfPi) {
  // The quotient becomes infinite and the arctangent of infinity is the double nearest pi/2.
  EXPECT_EQ(arcsin(1.0), std::numbers::pi / 2);
  EXPECT_EQ(arcsin(-1.0), -std::numbers::pi / 2);
}

TEST(Arcsin, ClampsArgumentsPastTheDomainInsteadOfReturningNaN) {
  const double justAbove = std::nextafter(1.0, 2.0);
  const double justBelow = std::nextafter(-1.0, -2.0);
  EXPECT_EQ(arcsin(justAbove), std::numbers::pi / 2);
  EXPECT_EQ(arcsin(justBelow), -std::numbers::pi / 2);
  EXPECT_EQ(arcsin(1.5), std::numbers::pi / 2);
  EXPECT_EQ(arcsin(-2.0), -std::numbers::pi / 2);
  EXPECT_EQ(arcsin(1e300), std::numbers::pi / 2);
  EXPECT_EQ(arcsin(-std::numeric_limits<double>::infinity()), -std::numbers::pi / 2);
}

TEST(Arcsin, NearTheEndsStaysFiniteAndBelowHalfPi) {
  const double justInside = std::nextafter(1.0, 0.0);
  const double a = arcsin(justInside);
  EXPECT_TRUE(std::isfinite(a));
  EXPECT_LE(a, std::numbers::pi / 2);
  EXPECT_NEAR(a, std::numbers::pi / 2, 1e-7);
  EXPECT_EQ(arcsin(-justInside), -a);
}

// ---------------------------------------------------------------------------------------------
// arccos

TEST(Arccos, OfZeroIsHalfThePiValue) {
  EXPECT_EQ(arccos(0.0, kPiValue), 1.570796326794895);
  EXPECT_EQ(arccos(0.0, kPiValue), kPiValue / 2);
  // The program's pi lies a little below the true one, and so does this right angle.
  EXPECT_LT(arccos(0.0, kPiValue), std::numbers::pi / 2);
  EXPECT_NEAR(std::numbers::pi / 2 - arccos(0.0, kPiValue), 1.6e-15, 1e-16);
}

TEST(Arccos, OfOneHalfIsPiOverThreeLessTheSameShortfall) {
  EXPECT_NEAR(arccos(0.5, kPiValue), 1.047197551196596, 3e-16);
  EXPECT_LT(arccos(0.5, kPiValue), std::numbers::pi / 3);
  EXPECT_NEAR(std::numbers::pi / 3 - arccos(0.5, kPiValue), 1.6e-15, 3e-16);
}

TEST(Arccos, OfMinusOneHalfIsTwoPiOverThree) {
  EXPECT_NEAR(arccos(-0.5, kPiValue), 2 * std::numbers::pi / 3, 3e-15);
  // The 120-degree threshold of the corner tests is (piValue + piValue) / 3.
  EXPECT_NEAR(arccos(-0.5, kPiValue), (kPiValue + kPiValue) / 3.0, 5e-16);
}

TEST(Arccos, UsesThePiValueItIsGiven) {
  std::mt19937 rng(29);
  std::uniform_real_distribution<double> x(-0.9999, 0.9999);
  for (int i = 0; i < 2000; ++i) {
    const double v = x(rng);
    EXPECT_NEAR(arccos(v, std::numbers::pi), std::acos(v), 1e-12) << v;
  }
  EXPECT_EQ(arccos(0.0, 4.0), 2.0);
  EXPECT_EQ(arccos(0.0, 0.0), 0.0);
}

TEST(Arccos, LiesBetweenZeroAndPiValueAndDecreases) {
  double previous = kPiValue + 1;
  for (int k = -1000; k <= 1000; ++k) {
    const double v = k / 1000.5;
    const double a = arccos(v, kPiValue);
    EXPECT_GT(a, 0.0) << v;
    EXPECT_LT(a, kPiValue) << v;
    EXPECT_LT(a, previous) << v;
    previous = a;
  }
}

TEST(Arccos, AtAndPastTheEndsIsFinite) {
  EXPECT_EQ(arccos(1.0, kPiValue), kPiValue / 2 - std::numbers::pi / 2);
  EXPECT_EQ(arccos(-1.0, kPiValue), kPiValue / 2 + std::numbers::pi / 2);
  EXPECT_EQ(arccos(1.25, kPiValue), arccos(1.0, kPiValue));
  EXPECT_EQ(arccos(-1.25, kPiValue), arccos(-1.0, kPiValue));
  EXPECT_NEAR(arccos(1.0, kPiValue), 0.0, 1e-14);
  EXPECT_NEAR(arccos(-1.0, kPiValue), kPiValue, 1e-14);
}

// ---------------------------------------------------------------------------------------------
// power

TEST(Power, SquareRoots) {
  EXPECT_DOUBLE_EQ(power(2.0, 0.5), std::sqrt(2.0));
  EXPECT_EQ(power(0.0, 0.5), 0.0);
  EXPECT_EQ(power(9.0, 0.5), 3.0);
  EXPECT_DOUBLE_EQ(power(50.0, 0.5), 5.0 * std::sqrt(2.0));
  EXPECT_EQ(power(0.25, 0.5), 0.5);
  EXPECT_EQ(power(1.0, 0.5), 1.0);
}

TEST(Power, SquaresAndOtherExponents) {
  EXPECT_EQ(power(3.0, 2.0), 9.0);
  EXPECT_EQ(power(-3.0, 2.0), 9.0);
  EXPECT_EQ(power(2.0, 10.0), 1024.0);
  EXPECT_EQ(power(10.0, 0.0), 1.0);
  EXPECT_EQ(power(4.0, -0.5), 0.5);
  EXPECT_EQ(power(27.0, 1.0), 27.0);
}

TEST(Power, SquareRootAgreesWithTheLibraryRoot) {
  std::mt19937 rng(31);
  std::uniform_real_distribution<double> x(0.0, 1e7);
  for (int i = 0; i < 2000; ++i) {
    const double v = x(rng);
    EXPECT_DOUBLE_EQ(power(v, 0.5), std::sqrt(v)) << v;
  }
}

}  // namespace
}  // namespace drevanti
