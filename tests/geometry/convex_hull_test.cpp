// ch and insideHull: the convex hull of the terminals as two chains of lines.
#include "geometry/convex_hull.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <utility>
#include <vector>

#include "fresh_state.h"

namespace drevanti {
namespace {

using test_support::freshState;

struct Point {
  double x, y;
};

struct Line {
  double slope, intercept;
};

// Puts the terminals into the record the way a new instance does: sorted by X, with their copy.
void setTerminals(SolverState& s, std::vector<Point> points) {
  std::sort(points.begin(), points.end(), [](Point a, Point b) { return a.x < b.x; });
  s.terminalCount = static_cast<Long>(points.size());
  for (std::size_t i = 0; i < points.size(); ++i) {
    s.vertexX[i] = s.savedX[i] = points[i].x;
    s.vertexY[i] = s.savedY[i] = points[i].y;
    s.vertexKind[i] = 0;
  }
}

std::vector<Line> upperLines(const SolverState& s) {
  std::vector<Line> lines;
  for (int k = 0; k < s.upperHullCount; ++k)
    lines.push_back({s.upperSlope[k], s.upperIntercept[k]});
  return lines;
}

std::vector<Line> lowerLines(const SolverState& s) {
  std::vector<Line> lines;
  for (int k = 0; k < s.lowerHullCount; ++k)
    lines.push_back({s.lowerSlope[k], s.lowerIntercept[k]});
  return lines;
}

double lineY(Line l, double x) {
  return l.slope * x + l.intercept;
}

// Rounding allowance for comparing a point with a line, relative to the sizes involved.
double tolerance(Line l, double x, double y) {
  return 1e-9 * std::max({1.0, std::abs(y), std::abs(l.slope * x), std::abs(l.intercept)});
}

bool onLine(Line l, Point p) {
  return std::abs(lineY(l, p.x) - p.y) <= tolerance(l, p.x, p.y);
}

void expectLine(Line actual, double slope, double intercept, const char* what) {
  EXPECT_NEAR(actual.slope, slope, 1e-9 * std::max(1.0, std::abs(slope))) << what;
  EXPECT_NEAR(actual.intercept, intercept, 1e-9 * std::max(1.0, std::abs(intercept))) << what;
}

// ---------------------------------------------------------------------------------------------
// Independent reference: the strict hull (no collinear middle points) by the monotone chain, split
// into the chain of larger Y (left to right) and the chain of smaller Y (right to left).

double cross(Point o, Point a, Point b) {
  return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

struct ReferenceHull {
  std::vector<Point> upper;  // leftmost ... rightmost, along larger Y
  std::vector<Point> lower;  // rightmost ... leftmost, along smaller Y
};

ReferenceHull referenceHull(std::vector<Point> points) {
  std::sort(points.begin(), points.end(), [](Point a, Point b) { return a.x < b.x; });
  ReferenceHull h;
  for (Point p : points) {
    while (h.upper.size() >= 2 && cross(h.upper[h.upper.size() - 2], h.upper.back(), p) >= 0) {
      h.upper.pop_back();
    }
    h.upper.push_back(p);
  }
  for (auto it = points.rbegin(); it != points.rend(); ++it) {
    while (h.lower.size() >= 2 && cross(h.lower[h.lower.size() - 2], h.lower.back(), *it) >= 0) {
      h.lower.pop_back();
    }
    h.lower.push_back(*it);
  }
  return h;
}

std::vector<Point> terminalsOf(const SolverState& s) {
  std::vector<Point> points;
  for (int i = 0; i < s.terminalCount; ++i) points.push_back({s.savedX[i], s.savedY[i]});
  return points;
}

// Random terminals the way instances place them: single-precision draws scaled to a 1920 x 1080
// screen with a 15-pixel margin, no two with the same X.
std::vector<Point> randomTerminals(std::mt19937& rng, int count) {
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  std::vector<Point> points;
  while (static_cast<int>(points.size()) < count) {
    const double x = unit(rng) * (1920.0 - 30) + 15;
    const double y = unit(rng) * (1080.0 - 30) + 15;
    if (std::none_of(points.begin(), points.end(), [x](Point p) { return p.x == x; })) {
      points.push_back({x, y});
    }
  }
  return points;
}

// ---------------------------------------------------------------------------------------------
// Worked examples

TEST(ConvexHullExamples, FourTerminalQuadrilateral) {
  auto s = freshState();
  setTerminals(*s, {{10, 50}, {50, 90}, {52, 12}, {90, 49}});
  ch(*s);
  ASSERT_EQ(s->upperHullCount, 2);
  ASSERT_EQ(s->lowerHullCount, 2);
  // Upper chain (10, 50) -> (50, 90) -> (90, 49).
  expectLine(upperLines(*s)[0], 1.0, 40.0, "upper 0");
  expectLine(upperLines(*s)[1], -1.025, 141.25, "upper 1");
  // Lower chain (90, 49) -> (52, 12) -> (10, 50).
  expectLine(lowerLines(*s)[0], 37.0 / 38.0, -1468.0 / 38.0, "lower 0");
  expectLine(lowerLines(*s)[1], -19.0 / 21.0, 1240.0 / 21.0, "lower 1");
}

TEST(ConvexHullExamples, AnInnerFifthTerminalChangesNoLine) {
  auto s = freshState();
  setTerminals(*s, {{10, 50}, {50, 90}, {45, 48}, {52, 12}, {90, 49}});
  ch(*s);
  ASSERT_EQ(s->upperHullCount, 2);
  ASSERT_EQ(s->lowerHullCount, 2);
  expectLine(upperLines(*s)[0], 1.0, 40.0, "upper 0");
  expectLine(upperLines(*s)[1], -1.025, 141.25, "upper 1");
  expectLine(lowerLines(*s)[0], 37.0 / 38.0, -1468.0 / 38.0, "lower 0");
  expectLine(lowerLines(*s)[1], -19.0 / 21.0, 1240.0 / 21.0, "lower 1");
  // The inner terminal satisfies all four inequalities strictly and lies on no line.
  for (Line l : upperLines(*s)) EXPECT_LT(48.0, lineY(l, 45.0));
  for (Line l : lowerLines(*s)) EXPECT_GT(48.0, lineY(l, 45.0));
  EXPECT_TRUE(insideHull(*s, 45, 48));
}

TEST(ConvexHullExamples, CollinearTerminalsOnTheUpperSideAllBecomeVertices) {
  auto s = freshState();
  setTerminals(*s, {{10, 10}, {20, 20}, {30, 30}, {40, 10}});
  ch(*s);
  ASSERT_EQ(s->upperHullCount, 3);
  ASSERT_EQ(s->lowerHullCount, 1);
  expectLine(upperLines(*s)[0], 1.0, 0.0, "upper 0");
  expectLine(upperLines(*s)[1], 1.0, 0.0, "upper 1");
  expectLine(upperLines(*s)[2], -2.0, 90.0, "upper 2");
  expectLine(lowerLines(*s)[0], 0.0, 10.0, "lower 0");
}

TEST(ConvexHullExamples, OneUpperLineAndThreeLowerLines) {
  // From (10, 100) the rightmost terminal (90, 100) rises most (sine 0, the others are below), so
  // the upper chain is one horizontal line. Back from (90, 100): (30, 30) falls most steeply
  // (sine -70/92.2 against -80/106.3 for (20, 20)), then (20, 20), then (10, 100).
  auto s = freshState();
  setTerminals(*s, {{10, 100}, {20, 20}, {30, 30}, {90, 100}});
  ch(*s);
  ASSERT_EQ(s->upperHullCount, 1);
  ASSERT_EQ(s->lowerHullCount, 3);
  expectLine(upperLines(*s)[0], 0.0, 100.0, "upper 0");
  expectLine(lowerLines(*s)[0], 7.0 / 6.0, -5.0, "lower 0");
  expectLine(lowerLines(*s)[1], 1.0, 0.0, "lower 1");
  expectLine(lowerLines(*s)[2], -8.0, 180.0, "lower 2");
}

TEST(ConvexHullExamples, ThreeLowerLinesMirroredToThreeUpperLines) {
  // The previous example reflected in Y = 60: the chains swap their shapes.
  auto s = freshState();
  setTerminals(*s, {{10, 20}, {20, 100}, {30, 90}, {90, 20}});
  ch(*s);
  ASSERT_EQ(s->upperHullCount, 3);
  ASSERT_EQ(s->lowerHullCount, 1);
  // (10, 20) -> (20, 100) -> (30, 90) -> (90, 20).
  expectLine(upperLines(*s)[0], 8.0, -60.0, "upper 0");
  expectLine(upperLines(*s)[1], -1.0, 120.0, "upper 1");
  expectLine(upperLines(*s)[2], -7.0 / 6.0, 125.0, "upper 2");
  expectLine(lowerLines(*s)[0], 0.0, 20.0, "lower 0");
}

TEST(ConvexHullExamples, TerminalsGivenOutOfOrderAreRestoredToXOrder) {
  auto s = freshState();
  setTerminals(*s, {{10, 50}, {50, 90}, {45, 48}, {52, 12}, {90, 49}});
  ch(*s);
  const double xs[] = {10, 45, 50, 52, 90};
  const double ys[] = {50, 48, 90, 12, 49};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(s->vertexX[i], xs[i]) << i;
    EXPECT_EQ(s->vertexY[i], ys[i]) << i;
  }
}

TEST(ConvexHullExamples, RegularPolygonHasEveryTerminalAsAVertex) {
  // Twelve terminals on a circle, turned so that no two share an X: all are hull vertices, no
  // three are collinear, so the two chains hold twelve lines and every terminal ends two of them.
  std::vector<Point> points;
  for (int k = 0; k < 12; ++k) {
    const double angle = 0.1 + k * std::numbers::pi / 6;
    points.push_back({500 + 300 * std::cos(angle), 400 + 300 * std::sin(angle)});
  }
  auto s = freshState();
  setTerminals(*s, points);
  ch(*s);
  EXPECT_EQ(s->upperHullCount + s->lowerHullCount, 12);
  std::vector<Line> all = upperLines(*s);
  for (Line l : lowerLines(*s)) all.push_back(l);
  for (Point p : points) {
    EXPECT_EQ(std::count_if(all.begin(), all.end(), [p](Line l) { return onLine(l, p); }), 2)
        << p.x << ", " << p.y;
  }
}

// ---------------------------------------------------------------------------------------------
// Record handling

TEST(ConvexHullRecord, StartsAfreshWhateverThePreviousCallLeft) {
  std::mt19937 rng(5);
  auto s = freshState();
  setTerminals(*s, randomTerminals(rng, 40));
  ch(*s);
  // Leave a different hull, stale phase and counts behind, then build the first hull again.
  auto other = freshState();
  setTerminals(*other, {{10, 50}, {50, 90}, {52, 12}, {90, 49}});
  ch(*other);
  other->upperSlope[7] = other->lowerSlope[9] = 12345.0;
  other->hullPhase = 1;
  other->hullCurrentX = 77;
  setTerminals(*other, terminalsOf(*s));
  ch(*other);
  ASSERT_EQ(other->upperHullCount, s->upperHullCount);
  ASSERT_EQ(other->lowerHullCount, s->lowerHullCount);
  for (int k = 0; k < s->upperHullCount; ++k) {
    EXPECT_EQ(other->upperSlope[k], s->upperSlope[k]);
    EXPECT_EQ(other->upperIntercept[k], s->upperIntercept[k]);
  }
  for (int k = 0; k < s->lowerHullCount; ++k) {
    EXPECT_EQ(other->lowerSlope[k], s->lowerSlope[k]);
    EXPECT_EQ(other->lowerIntercept[k], s->lowerIntercept[k]);
  }
}

TEST(ConvexHullRecord, LeavesTheScratchFieldsAtTheLastStep) {
  auto s = freshState();
  setTerminals(*s, {{10, 50}, {50, 90}, {45, 48}, {52, 12}, {90, 49}});
  ch(*s);
  EXPECT_EQ(s->hullEndX, 90.0);
  EXPECT_EQ(s->hullPhase, 1);
  EXPECT_EQ(s->hullCurrentX, 10.0);
  // The last step pivots at (52, 12) and reaches the leftmost terminal.
  EXPECT_EQ(s->pivotX, 52.0);
  EXPECT_EQ(s->pivotY, 12.0);
}

TEST(ConvexHullRecord, WritesNoTerminalBeyondTheCount) {
  auto s = freshState();
  setTerminals(*s, {{10, 50}, {50, 90}, {52, 12}, {90, 49}});
  for (int i = 4; i <= 100; ++i) {
    s->vertexX[i] = -1.0 - i;
    s->vertexY[i] = -2.0 - i;
  }
  ch(*s);
  for (int i = 4; i <= 100; ++i) {
    EXPECT_EQ(s->vertexX[i], -1.0 - i);
    EXPECT_EQ(s->vertexY[i], -2.0 - i);
  }
}

// ---------------------------------------------------------------------------------------------
// insideHull

TEST(InsideHull, QuadrilateralInteriorBoundaryAndExterior) {
  auto s = freshState();
  setTerminals(*s, {{10, 50}, {50, 90}, {52, 12}, {90, 49}});
  ch(*s);
  // Vertices and the inner point.
  EXPECT_TRUE(insideHull(*s, 50, 90));
  EXPECT_TRUE(insideHull(*s, 45, 48));
  EXPECT_TRUE(insideHull(*s, 50, 50));
  // On the first upper line, where slope 1 and intercept 40 are exact: a point on a line is inside.
  EXPECT_TRUE(insideHull(*s, 30, 70));
  EXPECT_FALSE(insideHull(*s, 30, 70.001));
  // Beyond each of the four sides.
  EXPECT_FALSE(insideHull(*s, 70, 75));  // above the second upper line (Y 69.5 there)
  EXPECT_FALSE(insideHull(*s, 70, 20));  // below the first lower line (Y 29.5 there)
  EXPECT_FALSE(insideHull(*s, 30, 25));  // below the second lower line (Y 31.9 there)
  EXPECT_FALSE(insideHull(*s, 9, 50));   // left of the leftmost vertex
  EXPECT_FALSE(insideHull(*s, 91, 49));  // right of the rightmost vertex
  EXPECT_FALSE(insideHull(*s, 500, 500));
}

bool insideByEveryLine(const SolverState& s, double x, double y) {
  bool inside = true;
  for (Line l : upperLines(s)) inside = inside && !(y > lineY(l, x));
  for (Line l : lowerLines(s)) inside = inside && !(y < lineY(l, x));
  return inside;
}

// Strictly inside (+1), strictly outside (-1) or within `margin` of the boundary (0) of the convex
// polygon given by the reference chains, measured by signed distances to its edges.
int referenceSide(const ReferenceHull& h, Point p, double margin) {
  // Rightmost, along smaller Y to the leftmost, then along larger Y back: clockwise when Y is
  // taken to grow upwards, so the inside is to the right of every edge (negative cross product).
  std::vector<Point> ring = h.lower;
  ring.pop_back();
  for (std::size_t i = 0; i + 1 < h.upper.size(); ++i) ring.push_back(h.upper[i]);
  double worst = 1e300;
  for (std::size_t i = 0; i < ring.size(); ++i) {
    const Point a = ring[i], b = ring[(i + 1) % ring.size()];
    const double length = std::hypot(b.x - a.x, b.y - a.y);
    worst = std::min(worst, -cross(a, b, p) / length);
  }
  if (worst > margin) return 1;
  if (worst < -margin) return -1;
  return 0;
}

TEST(InsideHull, AgreesWithAnIndependentPolygonTestAwayFromTheBoundary) {
  std::mt19937 rng(301);
  std::uniform_real_distribution<double> query(0.0, 1920.0);
  int inside = 0, outside = 0;
  for (int instance = 0; instance < 60; ++instance) {
    auto s = freshState();
    setTerminals(*s, randomTerminals(rng, 4 + instance % 46));
    ch(*s);
    const ReferenceHull h = referenceHull(terminalsOf(*s));
    for (int q = 0; q < 300; ++q) {
      const Point p{query(rng), query(rng) * 1080.0 / 1920.0};
      const int side = referenceSide(h, p, 1e-6);
      if (side == 0) continue;
      ASSERT_EQ(insideHull(*s, p.x, p.y), side > 0) << "instance " << instance;
      (side > 0 ? inside : outside)++;
    }
  }
  // Both answers must have been exercised.
  EXPECT_GT(inside, 1000);
  EXPECT_GT(outside, 1000);
}

TEST(InsideHull, StoppingAtTheFirstFailedLineGivesTheAnswerOfAllLines) {
  std::mt19937 rng(302);
  for (int instance = 0; instance < 40; ++instance) {
    auto s = freshState();
    const auto points = randomTerminals(rng, 4 + instance);
    setTerminals(*s, points);
    ch(*s);
    std::vector<Point> queries = points;  // on the boundary or inside
    std::uniform_real_distribution<double> query(0.0, 1920.0);
    for (int q = 0; q < 200; ++q) queries.push_back({query(rng), query(rng) * 0.6});
    // Points exactly on each line, at the X of every terminal.
    for (Line l : upperLines(*s)) {
      for (Point p : points) queries.push_back({p.x, lineY(l, p.x)});
    }
    for (Point p : queries) {
      ASSERT_EQ(insideHull(*s, p.x, p.y), insideByEveryLine(*s, p.x, p.y)) << p.x << ", " << p.y;
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Properties over seeded random instances

void checkHullProperties(const std::vector<Point>& points, bool generalPosition) {
  auto s = freshState();
  setTerminals(*s, points);
  const int n = s->terminalCount;
  ch(*s);
  const std::vector<Point> terminals = terminalsOf(*s);
  const std::vector<Line> upper = upperLines(*s), lower = lowerLines(*s);
  ASSERT_GE(upper.size(), 1u);
  ASSERT_GE(lower.size(), 1u);

  // The terminals are back in X order, bit for bit.
  for (int i = 0; i < n; ++i) {
    ASSERT_EQ(s->vertexX[i], s->savedX[i]) << i;
    ASSERT_EQ(s->vertexY[i], s->savedY[i]) << i;
  }

  // Every terminal is on or below every upper line and on or above every lower line.
  for (Point p : terminals) {
    for (Line l : upper)
      ASSERT_LE(p.y, lineY(l, p.x) + tolerance(l, p.x, p.y)) << p.x << "," << p.y;
    for (Line l : lower)
      ASSERT_GE(p.y, lineY(l, p.x) - tolerance(l, p.x, p.y)) << p.x << "," << p.y;
  }

  // The upper chain runs from the leftmost to the rightmost terminal, the lower chain back.
  const Point leftmost = terminals.front(), rightmost = terminals.back();
  ASSERT_TRUE(onLine(upper.front(), leftmost));
  ASSERT_TRUE(onLine(upper.back(), rightmost));
  ASSERT_TRUE(onLine(lower.front(), rightmost));
  ASSERT_TRUE(onLine(lower.back(), leftmost));

  // Consecutive lines of a chain share a terminal, and every line joins at least two terminals.
  for (const auto* chain : {&upper, &lower}) {
    for (std::size_t k = 0; k < chain->size(); ++k) {
      const Line l = (*chain)[k];
      ASSERT_GE(
          std::count_if(terminals.begin(), terminals.end(), [l](Point p) { return onLine(l, p); }),
          2);
      if (k + 1 < chain->size()) {
        const Line next = (*chain)[k + 1];
        ASSERT_TRUE(std::any_of(terminals.begin(), terminals.end(),
                                [l, next](Point p) { return onLine(l, p) && onLine(next, p); }));
      }
    }
  }

  // Both chains, in their stored order, turn the same way: slopes never increase.
  for (const auto* chain : {&upper, &lower}) {
    for (std::size_t k = 0; k + 1 < chain->size(); ++k) {
      const double a = (*chain)[k].slope, b = (*chain)[k + 1].slope;
      ASSERT_LE(b, a + 1e-9 * std::max({1.0, std::abs(a), std::abs(b)})) << "line " << k;
    }
  }

  // Against the independent hull: every strict hull vertex is a vertex of its chain, terminals
  // strictly inside end no line, and without collinear hull points the chains have exactly one
  // line per reference edge, in the same order.
  const ReferenceHull h = referenceHull(terminals);
  for (Point p : h.upper) {
    ASSERT_TRUE(std::any_of(upper.begin(), upper.end(), [p](Line l) { return onLine(l, p); }));
  }
  for (Point p : h.lower) {
    ASSERT_TRUE(std::any_of(lower.begin(), lower.end(), [p](Line l) { return onLine(l, p); }));
  }
  for (Point p : terminals) {
    if (referenceSide(h, p, 1e-6) <= 0) continue;
    for (Line l : upper) ASSERT_FALSE(onLine(l, p)) << p.x << "," << p.y;
    for (Line l : lower) ASSERT_FALSE(onLine(l, p)) << p.x << "," << p.y;
  }
  if (generalPosition) {
    ASSERT_EQ(upper.size(), h.upper.size() - 1);
    ASSERT_EQ(lower.size(), h.lower.size() - 1);
    for (std::size_t k = 0; k < upper.size(); ++k) {
      ASSERT_TRUE(onLine(upper[k], h.upper[k]) && onLine(upper[k], h.upper[k + 1]))
          << "upper " << k;
    }
    for (std::size_t k = 0; k < lower.size(); ++k) {
      ASSERT_TRUE(onLine(lower[k], h.lower[k]) && onLine(lower[k], h.lower[k + 1]))
          << "lower " << k;
    }
  }
}

TEST(ConvexHullProperties, RandomInstances) {
  std::mt19937 rng(401);
  for (int instance = 0; instance < 400; ++instance) {
    SCOPED_TRACE(::testing::Message() << "instance " << instance);
    checkHullProperties(randomTerminals(rng, 4 + instance % 46), true);
    if (::testing::Test::HasFatalFailure()) return;
  }
}

TEST(ConvexHullProperties, FullVertexArrays) {
  std::mt19937 rng(402);
  for (int instance = 0; instance < 10; ++instance) {
    SCOPED_TRACE(::testing::Message() << "instance " << instance);
    checkHullProperties(randomTerminals(rng, 101), true);
    if (::testing::Test::HasFatalFailure()) return;
  }
}

TEST(ConvexHullProperties, TerminalsOnACircle) {
  // Every terminal is a hull vertex.
  std::mt19937 rng(403);
  std::uniform_real_distribution<double> angle(0.0, 2 * std::numbers::pi);
  for (int instance = 0; instance < 60; ++instance) {
    SCOPED_TRACE(::testing::Message() << "instance " << instance);
    std::vector<Point> points;
    const int n = 4 + instance % 46;
    while (static_cast<int>(points.size()) < n) {
      const double a = angle(rng);
      const Point p{960 + 500 * std::cos(a), 540 + 500 * std::sin(a)};
      if (std::none_of(points.begin(), points.end(),
                       [p](Point q) { return std::abs(q.x - p.x) < 1e-3; })) {
        points.push_back(p);
      }
    }
    checkHullProperties(points, true);
    if (::testing::Test::HasFatalFailure()) return;
    auto s = freshState();
    setTerminals(*s, points);
    ch(*s);
    EXPECT_EQ(s->upperHullCount + s->lowerHullCount, n);
  }
}

TEST(ConvexHullProperties, ManyTerminalsOnFewRowsGiveCollinearHullEdges) {
  // Whole X values, Y from three rows: the top and bottom rows put several terminals on one hull
  // edge, and each of them may or may not become a vertex; the hull must be the same either way.
  std::mt19937 rng(404);
  for (int instance = 0; instance < 200; ++instance) {
    SCOPED_TRACE(::testing::Message() << "instance " << instance);
    const int n = 4 + instance % 46;
    std::vector<int> xs(200);
    for (int i = 0; i < 200; ++i) xs[i] = 15 + 7 * i;
    std::shuffle(xs.begin(), xs.end(), rng);
    std::vector<Point> points;
    for (int i = 0; i < n; ++i) points.push_back({double(xs[i]), double(15 + 40 * (rng() % 3))});
    checkHullProperties(points, false);
    if (::testing::Test::HasFatalFailure()) return;
  }
}

}  // namespace
}  // namespace drevanti
