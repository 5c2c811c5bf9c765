#include "steiner/best_tree.h"

#include "geometry/geometry_helpers.h"

namespace drevanti {

double edgesum(const SolverState& s) {
  double sum = 0;
  for (int e = 0; e <= s.vertexCount - 2; ++e) {
    const int a = s.edgeFrom[e];
    const int b = s.edgeTo[e];
    sum = sum + dist(s.vertexX[a], s.vertexY[a], s.vertexX[b], s.vertexY[b]);
  }
  return sum;
}

void hantei(Solver& solver) {
  checkpoint(solver.host);
  SolverState& s = solver.s;
  const double length = edgesum(s);
  // Strictly shorter only: among trees of equal length the first one found stays the best.
  if (!(length < s.bestLength)) return;
  s.bestLength = length;
  ++s.improvementCount;
  for (int i = 0; i < s.vertexCount; ++i) {
    s.bestX[i] = s.vertexX[i];
    s.bestY[i] = s.vertexY[i];
    s.bestKind[i] = s.vertexKind[i];
  }
  s.bestVertexCount = s.vertexCount;
  for (int e = 0; e <= s.vertexCount - 2; ++e) {
    s.bestEdgeFrom[e] = s.edgeFrom[e];
    s.bestEdgeTo[e] = s.edgeTo[e];
  }
  solver.host.repaint();
}

}  // namespace drevanti
