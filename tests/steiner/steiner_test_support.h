// Small builders and independent geometry for the tree-procedure tests: point sets placed by
// hand, neighbour tables set directly, and angles measured with atan2 rather than the law of
// cosines the solver uses, so that a check never repeats the computation it checks.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "geometry/spanning_tree.h"
#include "state/solver_state.h"
#include "steiner/best_tree.h"
#include "steiner/pruning.h"
#include "steiner/solver.h"
#include "test_host.h"

namespace drevanti::test_support {

struct Point {
  double x = 0;
  double y = 0;
};

inline constexpr double kSqrt3 = std::numbers::sqrt3;
inline constexpr double kTrueDegree = std::numbers::pi / 180.0;
// The random offset of a constructed point is at most this far off in X, and this far off the
// line in Y.
inline constexpr double kOffset = 0.0001;

// Puts the points in as the terminals 0..N-1 (kind 0), with the copy the instance keeps of them;
// there are no Steiner points yet.
inline void setTerminals(SolverState& s, std::initializer_list<Point> points) {
  int i = 0;
  for (const Point& p : points) {
    s.vertexX[i] = s.savedX[i] = p.x;
    s.vertexY[i] = s.savedY[i] = p.y;
    s.vertexKind[i] = 0;
    ++i;
  }
  s.terminalCount = i;
  s.vertexCount = static_cast<Integer>(i);
}

// Appends a Steiner point (kind 1) and returns its index.
inline Long addSteinerPoint(SolverState& s, Point p) {
  const Long v = s.vertexCount;
  s.vertexX[v] = p.x;
  s.vertexY[v] = p.y;
  s.vertexKind[v] = 1;
  ++s.vertexCount;
  return v;
}

// Gives v the listed tree neighbours, in this order, as if the last tree had recorded them so.
inline void setNeighbours(SolverState& s, Long v, std::initializer_list<Long> neighbours) {
  int d = 0;
  for (Long w : neighbours) s.treeNeighbour(v, d++) = w;
  s.vertexDegree[v] = static_cast<Integer>(d);
}

inline Point vertex(const SolverState& s, Long v) {
  return {s.vertexX[v], s.vertexY[v]};
}

inline double distance(Point a, Point b) {
  return std::hypot(a.x - b.x, a.y - b.y);
}

// Unsigned angle at `at` between the directions to p and q, in degrees, from atan2.
inline double angleDegrees(Point at, Point p, Point q) {
  const double a = std::atan2(p.y - at.y, p.x - at.x);
  const double b = std::atan2(q.y - at.y, q.x - at.x);
  double d = std::abs(a - b) / kTrueDegree;
  if (d > 180) d = 360 - d;
  return d;
}

// The point at the given distance from `from` in the given direction (degrees).
inline Point polar(Point from, double length, double degrees) {
  return {from.x + length * std::cos(degrees * kTrueDegree),
          from.y + length * std::sin(degrees * kTrueDegree)};
}

inline ::testing::AssertionResult isNear(Point actual, Point expected, double tolerance) {
  const double dx = std::abs(actual.x - expected.x);
  const double dy = std::abs(actual.y - expected.y);
  if (std::isfinite(actual.x) && std::isfinite(actual.y) && dx <= tolerance && dy <= tolerance) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure()
         << "(" << actual.x << ", " << actual.y << ") is not within " << tolerance << " of ("
         << expected.x << ", " << expected.y << ")";
}

inline ::testing::AssertionResult isFinite(Point p) {
  if (std::isfinite(p.x) && std::isfinite(p.y)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "(" << p.x << ", " << p.y << ") is not finite";
}

// Largest deviation, in degrees, of the three corners at v from 120 degrees.
inline double largestDeviationDegrees(const SolverState& s, Long v) {
  const Point at = vertex(s, v);
  const Point a = vertex(s, s.treeNeighbour(v, 0));
  const Point b = vertex(s, s.treeNeighbour(v, 1));
  const Point c = vertex(s, s.treeNeighbour(v, 2));
  return std::max({std::abs(angleDegrees(at, a, b) - 120), std::abs(angleDegrees(at, b, c) - 120),
                   std::abs(angleDegrees(at, c, a) - 120)});
}

// A problem instance as a round sees it: n terminals over a 1000 x 700 field in X order (with
// their copy), then n - 2 trials that each add, with probability one half, a Steiner candidate
// inside the terminals' bounding box.
inline void randomInstance(SolverState& s, std::mt19937& gen, int n) {
  std::uniform_real_distribution<double> fieldX(0, 1000), fieldY(0, 700), coin(0, 1);
  std::vector<Point> terminals(n);
  for (Point& p : terminals) p = {fieldX(gen), fieldY(gen)};
  std::sort(terminals.begin(), terminals.end(),
            [](const Point& a, const Point& b) { return a.x < b.x; });
  double left = 1e300, right = -1e300, top = 1e300, bottom = -1e300;
  for (int i = 0; i < n; ++i) {
    s.vertexX[i] = s.savedX[i] = terminals[i].x;
    s.vertexY[i] = s.savedY[i] = terminals[i].y;
    s.vertexKind[i] = 0;
    left = std::min(left, terminals[i].x);
    right = std::max(right, terminals[i].x);
    top = std::min(top, terminals[i].y);
    bottom = std::max(bottom, terminals[i].y);
  }
  s.terminalCount = n;
  s.vertexCount = static_cast<Integer>(n);
  std::uniform_real_distribution<double> boxX(left, right), boxY(top, bottom);
  for (int trial = 0; trial < n - 2; ++trial) {
    if (coin(gen) < 0.5) addSteinerPoint(s, {boxX(gen), boxY(gen)});
  }
}

// The round's schedule up to relocation: tree, measure, prune twice (rebuilding after each),
// measure.
inline void buildPruneAndMeasure(Solver& solver) {
  mst(solver.s);
  hantei(solver);
  bohe(solver.s);
  mst(solver.s);
  bohe(solver.s);
  mst(solver.s);
  hantei(solver);
}

// Every test runs a solver on a scripted host; the record is zero-filled with piValue set.
class SolverTest : public ::testing::Test {
 protected:
  TestHost host;
  Solver solver{host};
  SolverState& s = solver.s;
};

// Where the fixture files are: DREVANTI_FIXTURES when the test runner sets it, otherwise next to
// this folder in the source tree.
inline std::filesystem::path fixturePath(const std::string& name) {
  if (const char* root = std::getenv("DREVANTI_FIXTURES")) {
    return std::filesystem::path(root) / "steiner" / name;
  }
  return std::filesystem::path(__FILE__).parent_path().parent_path() / "fixtures" / "steiner" /
         name;
}

}  // namespace drevanti::test_support
