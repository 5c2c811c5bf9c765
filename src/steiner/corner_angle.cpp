#include "steiner/corner_angle.h"

#include <algorithm>

#include "geometry/geometry_helpers.h"

namespace drevanti {

double cornerAngle(const SolverState& s, Long v, Long p, Long q) {
  const double pq = dist(s.vertexX[p], s.vertexY[p], s.vertexX[q], s.vertexY[q]);
  const double pv = dist(s.vertexX[p], s.vertexY[p], s.vertexX[v], s.vertexY[v]);
  const double qv = dist(s.vertexX[q], s.vertexY[q], s.vertexX[v], s.vertexY[v]);
  if (pv == 0 || qv == 0) return 0;
  const double cosine = (qv * qv + pv * pv - pq * pq) / ((pv + pv) * qv);
  return arccos(std::clamp(cosine, -1.0, 1.0), s.piValue);
}

}  // namespace drevanti
