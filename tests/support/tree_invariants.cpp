#include "tree_invariants.h"

#include <cmath>
#include <limits>
#include <numeric>
#include <vector>

namespace drevanti::test_support {

namespace {

int findRoot(std::vector<int>& parent, int v) {
  while (parent[v] != v) v = parent[v] = parent[parent[v]];
  return v;
}

// Edges must join distinct components and end up joining them all.
::testing::AssertionResult spans(const std::vector<std::pair<int, int>>& edges,
                                 const std::vector<bool>& eligible) {
  const int n = static_cast<int>(eligible.size());
  std::vector<int> parent(n);
  std::iota(parent.begin(), parent.end(), 0);
  for (auto [a, b] : edges) {
    if (a < 0 || b < 0 || a >= n || b >= n || !eligible[a] || !eligible[b]) {
      return ::testing::AssertionFailure() << "edge " << a << "-" << b << " leaves the point set";
    }
    const int ra = findRoot(parent, a), rb = findRoot(parent, b);
    if (ra == rb)
      return ::testing::AssertionFailure() << "edge " << a << "-" << b << " closes a cycle";
    parent[ra] = rb;
  }
  int components = 0;
  for (int v = 0; v < n; ++v) components += eligible[v] && findRoot(parent, v) == v;
  if (components > 1) return ::testing::AssertionFailure() << components << " components";
  return ::testing::AssertionSuccess();
}

double length(const SolverState& s, int a, int b) {
  return std::hypot(s.vertexX[a] - s.vertexX[b], s.vertexY[a] - s.vertexY[b]);
}

}  // namespace

::testing::AssertionResult treeIsValid(const SolverState& s) {
  const int v = s.vertexCount;
  if (v < 0 || v > kVertexCapacity) return ::testing::AssertionFailure() << "vertexCount " << v;
  std::vector<bool> eligible(v);
  int e = 0;
  for (int i = 0; i < v; ++i) {
    if (!std::isfinite(s.vertexX[i]) || !std::isfinite(s.vertexY[i])) {
      return ::testing::AssertionFailure() << "vertex " << i << " is not finite";
    }
    const int kind = s.vertexKind[i];
    if (i < s.terminalCount ? kind != 0 : (kind != 1 && kind != 2)) {
      return ::testing::AssertionFailure() << "vertex " << i << " has kind " << kind;
    }
    eligible[i] = kind < 2;
    e += eligible[i];
  }
  const int expected = e > 0 ? e - 1 : 0;
  if (s.treeEdgeCount != expected) {
    return ::testing::AssertionFailure() << s.treeEdgeCount << " edges for " << e << " vertices";
  }
  std::vector<std::pair<int, int>> edges;
  std::vector<std::vector<int>> neighbours(v);
  double previous = 0;
  for (int t = 0; t < s.treeEdgeCount; ++t) {
    const int a = s.edgeFrom[t], b = s.edgeTo[t];
    if (a >= b) return ::testing::AssertionFailure() << "edge " << t << " is " << a << "-" << b;
    edges.emplace_back(a, b);
    if (b >= v) return ::testing::AssertionFailure() << "edge " << t << " leaves the point set";
    const double l = length(s, a, b);
    if (l < previous * (1 - 1e-12)) {
      return ::testing::AssertionFailure() << "edge " << t << " is shorter than the one before";
    }
    previous = l;
    neighbours[a].push_back(b);
    neighbours[b].push_back(a);
  }
  if (auto r = spans(edges, eligible); !r) return r;
  for (int i = 0; i < v; ++i) {
    if (s.vertexDegree[i] != static_cast<int>(neighbours[i].size())) {
      return ::testing::AssertionFailure() << "vertex " << i << " has degree " << s.vertexDegree[i]
                                           << " but " << neighbours[i].size() << " edges";
    }
    for (int d = 0; d < s.vertexDegree[i]; ++d) {
      if (s.treeNeighbour(i, d) != neighbours[i][d]) {
        return ::testing::AssertionFailure() << "neighbour " << d << " of vertex " << i;
      }
    }
  }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult bestTreeIsValid(const SolverState& s) {
  const int v = s.bestVertexCount;
  if (v < s.terminalCount || v > kVertexCapacity) {
    return ::testing::AssertionFailure() << "bestVertexCount " << v;
  }
  if (!std::isfinite(s.bestLength)) return ::testing::AssertionFailure() << "bestLength not finite";
  std::vector<std::pair<int, int>> edges;
  double sum = 0;
  for (int i = 0; i < v; ++i) {
    if (!std::isfinite(s.bestX[i]) || !std::isfinite(s.bestY[i])) {
      return ::testing::AssertionFailure() << "best vertex " << i << " is not finite";
    }
    if ((i < s.terminalCount) != (s.bestKind[i] == 0)) {
      return ::testing::AssertionFailure() << "best vertex " << i << " has kind " << s.bestKind[i];
    }
  }
  for (int t = 0; t + 1 < v; ++t) {
    const int a = s.bestEdgeFrom[t], b = s.bestEdgeTo[t];
    edges.emplace_back(a, b);
    if (a >= 0 && b >= 0 && a < v && b < v) {
      sum += std::hypot(s.bestX[a] - s.bestX[b], s.bestY[a] - s.bestY[b]);
    }
  }
  if (auto r = spans(edges, std::vector<bool>(v, true)); !r) return r;
  if (std::abs(sum - s.bestLength) > 1e-9 * std::max(1.0, sum)) {
    return ::testing::AssertionFailure()
           << "edges sum to " << sum << ", bestLength is " << s.bestLength;
  }
  return ::testing::AssertionSuccess();
}

double primLength(const std::vector<std::pair<double, double>>& points) {
  // Prim's method: independent of the solver's Kruskal.
  const std::size_t n = points.size();
  if (n == 0) return 0;
  std::vector<double> best(n, std::numeric_limits<double>::infinity());
  std::vector<bool> done(n, false);
  best[0] = 0;
  double total = 0;
  for (std::size_t step = 0; step < n; ++step) {
    std::size_t u = n;
    for (std::size_t i = 0; i < n; ++i) {
      if (!done[i] && (u == n || best[i] < best[u])) u = i;
    }
    done[u] = true;
    total += best[u];
    for (std::size_t i = 0; i < n; ++i) {
      const double l =
          std::hypot(points[u].first - points[i].first, points[u].second - points[i].second);
      if (!done[i]) best[i] = std::min(best[i], l);
    }
  }
  return total;
}

double terminalMstLength(const SolverState& s) {
  std::vector<std::pair<double, double>> terminals;
  for (int i = 0; i < s.terminalCount; ++i) terminals.emplace_back(s.savedX[i], s.savedY[i]);
  return primLength(terminals);
}

double eligibleMstLength(const SolverState& s) {
  std::vector<std::pair<double, double>> eligible;
  for (int i = 0; i < s.vertexCount; ++i) {
    if (s.vertexKind[i] < 2) eligible.emplace_back(s.vertexX[i], s.vertexY[i]);
  }
  return primLength(eligible);
}

}  // namespace drevanti::test_support
