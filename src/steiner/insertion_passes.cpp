#include "steiner/insertion_passes.h"

#include "geometry/spanning_tree.h"
#include "steiner/best_tree.h"
#include "steiner/corner_angle.h"
#include "steiner/pruning.h"
#include "steiner/terminal_insertion.h"

namespace drevanti {

void tuika(Solver& solver) {
  SolverState& s = solver.s;
  const Long n = s.terminalCount;
  // Past 2N - 2 vertices a loop ends after its next insertion; the following passes may still
  // insert, one point per loop.
  const Long growthLimit = 2 * n - 2;
  int insertions = 0;
  for (int pass = 0; pass < kInsertionPasses; ++pass) {
    bool changed = false;
    for (Long i = 0; i < n; ++i) {
      if (s.vertexDegree[i] <= 2) continue;
      ++insertions;
      changed = true;
      tase1(solver, i);
      mst(s);
      hantei(solver);
      if (s.vertexCount > growthLimit) break;
    }
    for (Long i = 0; i < n; ++i) {
      if (s.vertexDegree[i] != 2) continue;
      if (!(cornerAngle(s, i, s.treeNeighbour(i, 0), s.treeNeighbour(i, 1)) < steinerAngle(s))) {
        continue;
      }
      ++insertions;
      changed = true;
      tase2(solver, i);
      mst(s);
      hantei(solver);
      if (s.vertexCount > growthLimit) break;
    }
    if (!changed) break;
  }
  if (insertions > 0) {
    bohe(s);
    mst(s);
    hantei(solver);
  }
}

}  // namespace drevanti
