// The two things the headless tool runs: the saver's demonstration without a window, and the
// heuristic on a user's terminals.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "state/screen_size.h"
#include "terminal_file.h"

namespace drevanti::tool {

// Plays the saver's own demonstration loop, in a window that shows nothing, for the given number
// of instances, and hands over one JSON line per instance as soon as it is done. The instances
// are the saver's own from that seed on that screen.
void runDemo(std::uint32_t seed, ScreenSize screen, long instances,
             const std::function<void(const std::string&)>& line);

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

  // The share first, so that lengths near the largest double cannot overflow.
  double reductionPercent() const { return 100 * ((mst - length) / mst); }
};

// Solves one instance with a fresh random sequence from the seed: no number is drawn before round
// 0. Throws InputError when the terminals cannot be measured in doubles (see fitToScreen), or
// when their tree is longer than the largest double.
SolveResult solveTerminals(const std::vector<Point>& terminals, std::uint32_t seed, long rounds);

// {"instance":k,"terminals":N,"steiner":M,"length":L,"mst":Lm,"reduction_pct":P,"improvements":I}
// and, with withTree, the Steiner points and edges.
std::string solveJson(long instance, const SolveResult& result, bool withTree);

}  // namespace drevanti::tool
