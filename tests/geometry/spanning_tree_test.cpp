// mst: the Euclidean minimum spanning tree of the vertices of kind 0 and 1.
#include "geometry/spanning_tree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <random>
#include <utility>
#include <vector>

#include "fresh_state.h"
#include "geometry/geometry_helpers.h"
#include "geometry/heap_sort.h"
#include "tree_invariants.h"

namespace drevanti {
namespace {

using test_support::freshState;
using test_support::treeIsValid;

struct Vertex {
  double x, y;
  int kind;
};

using Edge = std::pair<int, int>;

// Loads a point set; the leading vertices of kind 0 are the terminals.
void setVertices(SolverState& s, const std::vector<Vertex>& vertices) {
  s.vertexCount = static_cast<Integer>(vertices.size());
  s.terminalCount = 0;
  while (s.terminalCount < s.vertexCount && vertices[s.terminalCount].kind == 0) ++s.terminalCount;
  for (std::size_t i = 0; i < vertices.size(); ++i) {
    s.vertexX[i] = vertices[i].x;
    s.vertexY[i] = vertices[i].y;
    s.vertexKind[i] = static_cast<Integer>(vertices[i].kind);
  }
}

std::vector<Edge> treeEdges(const SolverState& s) {
  std::vector<Edge> edges;
  for (int t = 0; t < s.treeEdgeCount; ++t) edges.emplace_back(s.edgeFrom[t], s.edgeTo[t]);
  return edges;
}

std::vector<int> neighbours(const SolverState& s, int v) {
  std::vector<int> n;
  for (int d = 0; d < s.vertexDegree[v]; ++d) n.push_back(s.treeNeighbour(v, d));
  return n;
}

double treeLength(const SolverState& s) {
  double total = 0;
  for (auto [a, b] : treeEdges(s)) {
    total += std::hypot(s.vertexX[a] - s.vertexX[b], s.vertexY[a] - s.vertexY[b]);
  }
  return total;
}

// Kruskal's method with a union-find over every candidate, the candidates listed by (i, j) and
// ordered by the program's sort, so that equal lengths are taken in the same order.
std::vector<Edge> referenceKruskal(const SolverState& s) {
  std::vector<double> from, to, length;
  for (int i = 0; i < s.vertexCount; ++i) {
    for (int j = i + 1; j < s.vertexCount; ++j) {
      if (s.vertexKind[i] >= 2 || s.vertexKind[j] >= 2) continue;
      from.push_back(i);
      to.push_back(j);
      length.push_back(dist(s.vertexX[i], s.vertexY[i], s.vertexX[j], s.vertexY[j]));
    }
  }
  heapv(length.data(), from.data(), to.data(), static_cast<std::int32_t>(length.size()));
  std::vector<int> parent(s.vertexCount);
  std::iota(parent.begin(), parent.end(), 0);
  auto root = [&parent](int v) {
    while (parent[v] != v) v = parent[v];
    return v;
  };
  std::vector<Edge> edges;
  for (std::size_t h = 0; h < length.size(); ++h) {
    const int a = static_cast<int>(from[h]), b = static_cast<int>(to[h]);
    if (root(a) == root(b)) continue;
    parent[root(a)] = root(b);
    edges.emplace_back(a, b);
  }
  return edges;
}

// The square (0, 0), (10, 0), (10, 10), (0, 10) and, if asked, its centre.
std::vector<Vertex> square() {
  return {{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0}};
}

std::vector<Vertex> squareWithCentre(int kind) {
  auto v = square();
  v.push_back({5, 5, kind});
  return v;
}

// ---------------------------------------------------------------------------------------------
// Small point sets

TEST(SpanningTreeExamples, NoVertices) {
  auto s = freshState();
  s->treeEdgeCount = 9;
  s->edgeFrom[0] = 3;
  s->edgeTo[0] = 4;
  setVertices(*s, {});
  mst(*s);
  EXPECT_EQ(s->treeEdgeCount, 0);
  EXPECT_EQ(s->edgeFrom[0], 3);
  EXPECT_EQ(s->edgeTo[0], 4);
  EXPECT_TRUE(treeIsValid(*s));
}

TEST(SpanningTreeExamples, OneVertex) {
  auto s = freshState();
  s->vertexDegree[0] = 3;
  s->treeEdgeCount = 9;
  setVertices(*s, {{100, 200, 0}});
  mst(*s);
  EXPECT_EQ(s->treeEdgeCount, 0);
  EXPECT_EQ(s->vertexDegree[0], 0);
  EXPECT_TRUE(treeIsValid(*s));
}

TEST(SpanningTreeExamples, TwoVertices) {
  auto s = freshState();
  setVertices(*s, {{5, 5, 0}, {1, 2, 0}});
  mst(*s);
  EXPECT_EQ(treeEdges(*s), (std::vector<Edge>{{0, 1}}));
  EXPECT_EQ(neighbours(*s, 0), (std::vector<int>{1}));
  EXPECT_EQ(neighbours(*s, 1), (std::vector<int>{0}));
  EXPECT_TRUE(treeIsValid(*s));
}

TEST(SpanningTreeExamples, RightTriangle) {
  auto s = freshState();
  setVertices(*s, {{0, 0, 0}, {3, 0, 0}, {3, 4, 0}});
  mst(*s);
  EXPECT_EQ(treeEdges(*s), (std::vector<Edge>{{0, 1}, {1, 2}}));
  EXPECT_EQ(s->vertexDegree[0], 1);
  EXPECT_EQ(s->vertexDegree[1], 2);
  EXPECT_EQ(s->vertexDegree[2], 1);
  EXPECT_EQ(neighbours(*s, 1), (std::vector<int>{0, 2}));
  EXPECT_EQ(neighbours(*s, 0), (std::vector<int>{1}));
  EXPECT_EQ(neighbours(*s, 2), (std::vector<int>{1}));
  EXPECT_TRUE(treeIsValid(*s));
}

TEST(SpanningTreeExamples, SquareSidesTieAndTheSortDecides) {
  auto s = freshState();
  setVertices(*s, square());
  mst(*s);
  EXPECT_EQ(treeEdges(*s), (std::vector<Edge>{{2, 3}, {0, 3}, {1, 2}}));
  EXPECT_EQ(s->vertexDegree[0], 1);
  EXPECT_EQ(s->vertexDegree[1], 1);
  EXPECT_EQ(s->vertexDegree[2], 2);
  EXPECT_EQ(s->vertexDegree[3], 2);
  EXPECT_EQ(neighbours(*s, 2), (std::vector<int>{3, 1}));
  EXPECT_EQ(neighbours(*s, 3), (std::vector<int>{2, 0}));
  EXPECT_EQ(neighbours(*s, 0), (std::vector<int>{3}));
  EXPECT_EQ(neighbours(*s, 1), (std::vector<int>{2}));
  EXPECT_EQ(treeLength(*s), 30.0);
  EXPECT_TRUE(treeIsValid(*s));
}

TEST(SpanningTreeExamples, SteinerPointAtTheCentreOfASquareMakesAStar) {
  auto s = freshState();
  setVertices(*s, squareWithCentre(1));
  mst(*s);
  EXPECT_EQ(treeEdges(*s), (std::vector<Edge>{{3, 4}, {2, 4}, {1, 4}, {0, 4}}));
  EXPECT_EQ(s->vertexDegree[4], 4);
  EXPECT_EQ(neighbours(*s, 4), (std::vector<int>{3, 2, 1, 0}));
  for (int v = 0; v < 4; ++v) EXPECT_EQ(neighbours(*s, v), (std::vector<int>{4})) << v;
  EXPECT_NEAR(treeLength(*s), 4 * std::sqrt(50.0), 1e-12);
  EXPECT_TRUE(treeIsValid(*s));
}

TEST(SpanningTreeExamples, VertexMarkedForRemovalIsLeftOut) {
  auto s = freshState();
  setVertices(*s, squareWithCentre(2));
  mst(*s);
  EXPECT_EQ(s->treeEdgeCount, 3);
  EXPECT_EQ(treeEdges(*s), (std::vector<Edge>{{2, 3}, {0, 3}, {1, 2}}));
  EXPECT_EQ(s->vertexDegree[4], 0);
  EXPECT_EQ(neighbours(*s, 2), (std::vector<int>{3, 1}));
  EXPECT_TRUE(treeIsValid(*s));
}

TEST(SpanningTreeExamples, KindsAboveTwoAreLeftOutToo) {
  auto s = freshState();
  setVertices(*s, squareWithCentre(3));
  mst(*s);
  EXPECT_EQ(treeEdges(*s), (std::vector<Edge>{{2, 3}, {0, 3}, {1, 2}}));
  EXPECT_EQ(s->vertexDegree[4], 0);
}

TEST(SpanningTreeExamples, LeftOutVertexBeforeTheOthersShiftsTheSquaresTree) {
  // Without vertex 0 the candidates are the square's, in the same order, one index higher.
  auto s = freshState();
  setVertices(*s, {{5, 5, 2}, {0, 0, 1}, {10, 0, 1}, {10, 10, 1}, {0, 10, 1}});
  mst(*s);
  EXPECT_EQ(treeEdges(*s), (std::vector<Edge>{{3, 4}, {1, 4}, {2, 3}}));
  EXPECT_EQ(s->vertexDegree[0], 0);
  EXPECT_TRUE(treeIsValid(*s));
}

TEST(SpanningTreeExamples, LeftOutVerticesBetweenAndAfterTheOthers) {
  // Marked vertices at 4 and 6 around a Steiner point at (5, 6), which is nearer every corner of
  // the square (distances 61^0.5 and 41^0.5) than the sides are long: a star around it.
  auto s = freshState();
  setVertices(
      *s, {{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0}, {5, 5, 2}, {5, 6, 1}, {500, 500, 2}});
  mst(*s);
  EXPECT_EQ(s->treeEdgeCount, 4);
  EXPECT_EQ(s->vertexDegree[4], 0);
  EXPECT_EQ(s->vertexDegree[6], 0);
  EXPECT_EQ(s->vertexDegree[5], 4);
  // The edges to the two nearer corners (2 and 3) come before those to the farther ones.
  std::vector<Edge> edges = treeEdges(*s);
  ASSERT_EQ(edges.size(), 4u);
  std::sort(edges.begin(), edges.begin() + 2);
  std::sort(edges.begin() + 2, edges.end());
  EXPECT_EQ(edges, (std::vector<Edge>{{2, 5}, {3, 5}, {0, 5}, {1, 5}}));
  EXPECT_TRUE(treeIsValid(*s));
  EXPECT_NEAR(treeLength(*s), 2 * std::sqrt(61.0) + 2 * std::sqrt(41.0), 1e-12);
}

TEST(SpanningTreeExamples, OnlyOneEligibleVertexGivesNoEdge) {
  auto s = freshState();
  setVertices(*s, {{1, 1, 0}, {2, 2, 2}, {3, 3, 2}});
  s->vertexDegree[1] = 5;
  mst(*s);
  EXPECT_EQ(s->treeEdgeCount, 0);
  EXPECT_EQ(s->vertexDegree[0], 0);
  EXPECT_EQ(s->vertexDegree[1], 0);
  EXPECT_EQ(s->vertexDegree[2], 0);
  EXPECT_TRUE(treeIsValid(*s));
}

TEST(SpanningTreeExamples, PointsOnALineFormAPathInXOrder) {
  // Unevenly spaced points on one line, listed out of order: each joins its neighbours along it.
  const double xs[] = {40, 3, 17, 90, 61, 5, 28};
  std::vector<Vertex> v;
  for (double x : xs) v.push_back({x, 2 * x + 1, 0});
  auto s = freshState();
  setVertices(*s, v);
  mst(*s);
  ASSERT_TRUE(treeIsValid(*s));
  std::vector<double> sortedX(std::begin(xs), std::end(xs));
  std::sort(sortedX.begin(), sortedX.end());
  for (auto [a, b] : treeEdges(*s)) {
    const auto ia = std::find(sortedX.begin(), sortedX.end(), xs[a]) - sortedX.begin();
    const auto ib = std::find(sortedX.begin(), sortedX.end(), xs[b]) - sortedX.begin();
    EXPECT_EQ(std::abs(ia - ib), 1) << a << "-" << b;
  }
  EXPECT_NEAR(treeLength(*s), (90 - 3) * std::sqrt(5.0), 1e-9);
  // In X order the gaps are 2, 12, 11, 12, 21, 29: the shortest, between X 3 and X 5, comes first
  // and the longest, between X 61 and X 90, last.
  EXPECT_EQ(treeEdges(*s).front(), (Edge{1, 5}));
  EXPECT_EQ(treeEdges(*s).back(), (Edge{3, 4}));
}

TEST(SpanningTreeExamples, GridOfTiedEdges) {
  // A 10 x 10 grid with spacing 10: every tree edge joins grid neighbours, 99 of them.
  std::vector<Vertex> v;
  for (int i = 0; i < 100; ++i)
    v.push_back({20.0 + 10 * (i % 10), 30.0 + 10 * (i / 10), i == 0 ? 0 : 1});
  for (int i = 1; i < 4; ++i) v[i].kind = 0;
  auto s = freshState();
  setVertices(*s, v);
  mst(*s);
  ASSERT_TRUE(treeIsValid(*s));
  EXPECT_EQ(s->treeEdgeCount, 99);
  EXPECT_EQ(treeLength(*s), 990.0);
  for (int i = 0; i < 100; ++i) EXPECT_LE(s->vertexDegree[i], 4);
  EXPECT_EQ(treeEdges(*s), referenceKruskal(*s));
}

TEST(SpanningTreeExamples, CoincidentVerticesAreJoinedByAZeroLengthEdgeFirst) {
  auto s = freshState();
  setVertices(*s, {{0, 0, 0}, {30, 40, 0}, {90, 0, 0}, {30, 40, 1}});
  mst(*s);
  ASSERT_TRUE(treeIsValid(*s));
  EXPECT_EQ(treeEdges(*s).front(), (Edge{1, 3}));
  EXPECT_NEAR(treeLength(*s), 50.0 + std::hypot(60.0, 40.0), 1e-12);
}

// ---------------------------------------------------------------------------------------------
// What the call touches

TEST(SpanningTreeRecord, EdgeSlotsPastTheTreeKeepTheirOldContents) {
  auto s = freshState();
  for (int t = 0; t <= 10000; ++t) {
    s->edgeFrom[t] = 777;
    s->edgeTo[t] = 888;
  }
  setVertices(*s, squareWithCentre(2));
  mst(*s);
  ASSERT_EQ(s->treeEdgeCount, 3);
  for (int t = 3; t <= 10000; ++t) {
    ASSERT_EQ(s->edgeFrom[t], 777) << t;
    ASSERT_EQ(s->edgeTo[t], 888) << t;
  }
}

TEST(SpanningTreeRecord, LeavesTheVerticesAsTheyWere) {
  std::mt19937 rng(501);
  std::uniform_real_distribution<double> c(15, 1000);
  std::vector<Vertex> v;
  for (int i = 0; i < 60; ++i) v.push_back({c(rng), c(rng), i < 20 ? 0 : 1 + (i % 5 == 0)});
  auto s = freshState();
  setVertices(*s, v);
  mst(*s);
  EXPECT_TRUE(treeIsValid(*s));
  EXPECT_EQ(s->vertexCount, 60);
  for (int i = 0; i < 60; ++i) {
    EXPECT_EQ(s->vertexX[i], v[i].x);
    EXPECT_EQ(s->vertexY[i], v[i].y);
    EXPECT_EQ(s->vertexKind[i], v[i].kind);
  }
}

TEST(SpanningTreeRecord, ABuildDoesNotDependOnThePreviousOne) {
  std::mt19937 rng(502);
  std::uniform_real_distribution<double> c(15, 1000);
  auto used = freshState();
  for (int round = 0; round < 30; ++round) {
    std::vector<Vertex> v;
    const int count = 2 + static_cast<int>(rng() % 100);
    for (int i = 0; i < count; ++i) v.push_back({c(rng), c(rng), i < 4 ? 0 : 1 + (rng() % 6 == 0)});
    setVertices(*used, v);
    mst(*used);
    ASSERT_TRUE(treeIsValid(*used)) << "round " << round;
    auto fresh = freshState();
    setVertices(*fresh, v);
    mst(*fresh);
    ASSERT_EQ(treeEdges(*used), treeEdges(*fresh)) << "round " << round;
    for (int i = 0; i < count; ++i) {
      ASSERT_EQ(neighbours(*used, i), neighbours(*fresh, i))
          << "round " << round << " vertex " << i;
    }
  }
}

TEST(SpanningTreeRecord, EveryMemberListNamesEveryOtherVertexOfTheTreeOnce) {
  std::mt19937 rng(503);
  std::uniform_real_distribution<double> c(15, 1000);
  std::vector<Vertex> v;
  for (int i = 0; i < 70; ++i) v.push_back({c(rng), c(rng), i < 10 ? 0 : 1 + (i % 7 == 0)});
  auto s = freshState();
  setVertices(*s, v);
  mst(*s);
  ASSERT_TRUE(treeIsValid(*s));
  std::vector<int> eligible;
  for (int i = 0; i < 70; ++i) {
    if (v[i].kind < 2) eligible.push_back(i);
  }
  for (int a : eligible) {
    ASSERT_EQ(s->componentSize[a], static_cast<Long>(eligible.size()) - 1) << a;
    std::vector<int> members;
    for (int k = 0; k < s->componentSize[a]; ++k) members.push_back(s->componentList(a, k));
    std::sort(members.begin(), members.end());
    std::vector<int> others;
    for (int b : eligible) {
      if (b != a) others.push_back(b);
    }
    ASSERT_EQ(members, others) << a;
  }
}

// ---------------------------------------------------------------------------------------------
// Properties over seeded random point sets

// A point set as the rounds make it: terminals first, then Steiner points, some of them marked.
std::vector<Vertex> randomPointSet(std::mt19937& rng, int count, int terminals,
                                   bool wholeCoordinates) {
  std::uniform_real_distribution<double> x(15, 1905), y(15, 1065);
  std::vector<Vertex> v;
  for (int i = 0; i < count; ++i) {
    double px = x(rng), py = y(rng);
    if (wholeCoordinates) {
      px = std::floor(px / 100) * 10;  // a coarse lattice: many equal lengths
      py = std::floor(py / 100) * 10;
    }
    const int kind = i < terminals ? 0 : (rng() % 8 == 0 ? 2 : 1);
    v.push_back({px, py, kind});
  }
  return v;
}

void checkRandomTree(SolverState& s, const std::vector<Vertex>& v) {
  setVertices(s, v);
  mst(s);
  ASSERT_TRUE(treeIsValid(s));
  const double expected = test_support::eligibleMstLength(s);
  ASSERT_NEAR(treeLength(s), expected, 1e-9 * std::max(1.0, expected));
  // Stopping once the tree is complete picks the same edges, in the same order, as a scan of every
  // candidate does.
  ASSERT_EQ(treeEdges(s), referenceKruskal(s));
  for (int i = 0; i < s.vertexCount; ++i) {
    if (s.vertexKind[i] >= 2) {
      ASSERT_EQ(s.vertexDegree[i], 0) << i;
    }
    ASSERT_LE(s.vertexDegree[i], 11) << i;
  }
}

TEST(SpanningTreeProperties, RandomPointSets) {
  std::mt19937 rng(601);
  auto s = freshState();
  for (int set = 0; set < 300; ++set) {
    SCOPED_TRACE(::testing::Message() << "set " << set);
    const int terminals = 4 + static_cast<int>(rng() % 46);
    const int count = terminals + static_cast<int>(rng() % (102 - terminals));
    checkRandomTree(*s, randomPointSet(rng, count, terminals, false));
    if (HasFatalFailure()) return;
  }
}

TEST(SpanningTreeProperties, LatticePointSetsWithManyTies) {
  std::mt19937 rng(602);
  auto s = freshState();
  for (int set = 0; set < 100; ++set) {
    SCOPED_TRACE(::testing::Message() << "set " << set);
    const int terminals = 4 + static_cast<int>(rng() % 46);
    const int count = terminals + static_cast<int>(rng() % (102 - terminals));
    checkRandomTree(*s, randomPointSet(rng, count, terminals, true));
    if (HasFatalFailure()) return;
  }
}

TEST(SpanningTreeProperties, ATieForTheLastEdgeOnlyIsBrokenLikeAnyOther) {
  // Two random clusters far apart, joined through a bridge point q = (100, 0) that is exactly as
  // far from (0, -1) as from (0, 1). All other lengths differ, so the only tie is between the two
  // bridge candidates, the longest edge of the tree and the first candidate after it. Which of
  // them is taken must follow the sort's order of equal lengths, like every other tie.
  std::mt19937 rng(605);
  std::uniform_real_distribution<double> leftX(-30, -1), rightX(101, 130), y(-15, 15);
  auto s = freshState();
  int bridgeToFirst = 0, bridgeToSecond = 0;
  for (int set = 0; set < 60; ++set) {
    SCOPED_TRACE(::testing::Message() << "set " << set);
    std::vector<Vertex> v = {{0, -1, 0}, {0, 1, 0}, {100, 0, 0}};
    const int perSide = 3 + set % 20;
    for (int i = 0; i < perSide; ++i) v.push_back({leftX(rng), y(rng), 0});
    for (int i = 0; i < perSide; ++i) v.push_back({rightX(rng), y(rng), 0});
    std::shuffle(v.begin(), v.end(), rng);
    for (std::size_t i = 4; i < v.size(); ++i) v[i].kind = 1;
    setVertices(*s, v);
    mst(*s);
    ASSERT_TRUE(treeIsValid(*s));
    ASSERT_EQ(treeEdges(*s), referenceKruskal(*s));
    // The bridge is the last edge, and it ends at q.
    const auto [a, b] = treeEdges(*s).back();
    const int other = s->vertexX[a] == 100 ? b : a;
    ASSERT_TRUE(s->vertexX[a] == 100 || s->vertexX[b] == 100);
    ASSERT_EQ(s->vertexX[other], 0.0);
    (s->vertexY[other] < 0 ? bridgeToFirst : bridgeToSecond)++;
  }
  // Both bridge ends must have won sometimes, or the case is not what it claims.
  EXPECT_GT(bridgeToFirst, 0);
  EXPECT_GT(bridgeToSecond, 0);
}

TEST(SpanningTreeProperties, FullVertexArrays) {
  std::mt19937 rng(603);
  auto s = freshState();
  for (int set = 0; set < 10; ++set) {
    SCOPED_TRACE(::testing::Message() << "set " << set);
    checkRandomTree(*s, randomPointSet(rng, kVertexCapacity, 49, set % 2 == 1));
    if (HasFatalFailure()) return;
  }
}

TEST(SpanningTreeProperties, TerminalsAloneGiveTheTerminalTreeLength) {
  std::mt19937 rng(604);
  std::uniform_real_distribution<double> x(15, 1905), y(15, 1065);
  for (int set = 0; set < 50; ++set) {
    auto s = freshState();
    const int n = 4 + set % 46;
    std::vector<Vertex> v;
    for (int i = 0; i < n; ++i) v.push_back({x(rng), y(rng), 0});
    setVertices(*s, v);
    for (int i = 0; i < n; ++i) {
      s->savedX[i] = v[i].x;
      s->savedY[i] = v[i].y;
    }
    mst(*s);
    ASSERT_TRUE(treeIsValid(*s));
    const double expected = test_support::terminalMstLength(*s);
    ASSERT_NEAR(treeLength(*s), expected, 1e-9 * expected) << "set " << set;
  }
}

}  // namespace
}  // namespace drevanti
