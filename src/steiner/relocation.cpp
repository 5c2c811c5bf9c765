#include "steiner/relocation.h"

#include "geometry/geometry_helpers.h"
#include "geometry/spanning_tree.h"
#include "steiner/best_tree.h"
#include "steiner/corner_angle.h"
#include "steiner/fermat_point.h"

namespace drevanti {

namespace {

double deviation(const SolverState& s, Long v, Long p, Long q) {
  return dist(cornerAngle(s, v, p, q), 0, steinerAngle(s), 0);
}

}  // namespace

void mrlonely(Solver& solver) {
  SolverState& s = solver.s;
  const double tolerance = s.piValue / 180.0;
  for (int pass = 0; pass < kMaxRelocationPasses; ++pass) {
    int moves = 0;
    const Long last = s.vertexCount - 1;
    for (Long v = s.terminalCount; v <= last; ++v) {
      if (s.vertexDegree[v] != 3) continue;
      const Long a = s.treeNeighbour(v, 0);
      const Long b = s.treeNeighbour(v, 1);
      const Long c = s.treeNeighbour(v, 2);
      double dev = deviation(s, v, a, b);
      const double second = deviation(s, v, b, c);
      if (second > dev) dev = second;
      const double third = deviation(s, v, c, a);
      if (third > dev) dev = third;
      if (!(tolerance < dev)) continue;
      ++moves;
      ihoujin(s, a, b, c);
      msbn2(s, solver.host.random(), v, a, b, c);
      mst(s);
      hantei(solver);
    }
    if (moves == 0) return;
  }
}

}  // namespace drevanti
