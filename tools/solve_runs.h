// The two things the headless tool runs: the saver's demonstration without a window, and the
// heuristic on a user's terminals.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "steiner/solver.h"
#include "terminal_file.h"

namespace drevanti::tool {

// One line per instance, from the same random sequence the saver would use on that screen.
std::vector<std::string> runDemo(std::uint32_t seed, ScreenSize screen, long instances);

struct SolveResult {
  int terminals = 0;
  int steiner = 0;
  double length = 0;  // input units
  double mst = 0;     // the terminals' own minimum spanning tree, input units
  long improvements = 0;
  std::vector<Point> steinerPoints;  // input units
  // Edges by vertex number: terminals 0..N-1 in input order, then the Steiner points.
  std::vector<std::pair<int, int>> edges;
  std::string svg;  // the best tree drawn as the saver's scene

  double reductionPercent() const { return 100 * (mst - length) / mst; }
};

// Solves one instance with a fresh random sequence from the seed: no number is drawn before round
// 0.
SolveResult solveTerminals(const std::vector<Point>& terminals, std::uint32_t seed, long rounds);

// {"instance":k,"terminals":N,"steiner":M,"length":L,"mst":Lm,"reduction_pct":P,"improvements":I}
// and, with withTree, the Steiner points and edges.
std::string solveJson(long instance, const SolveResult& result, bool withTree);

}  // namespace drevanti::tool
