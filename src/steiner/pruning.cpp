#include "steiner/pruning.h"

namespace drevanti {

void bohe(SolverState& s) {
  const int n = s.terminalCount;
  const int v = s.vertexCount;
  for (int i = n; i < v; ++i) {
    s.savedX[i] = s.vertexX[i];
    s.savedY[i] = s.vertexY[i];
    s.savedDegree[i] = s.vertexDegree[i];
  }
  for (int j = n; j < v; ++j) {
    if (s.vertexKind[j] == 1 && s.vertexDegree[j] != 3) s.vertexKind[j] = 2;
  }
  int k = n;
  for (int l = n; l < v; ++l) {
    if (s.vertexKind[l] != 1) continue;
    s.vertexX[k] = s.savedX[l];
    s.vertexY[k] = s.savedY[l];
    s.vertexDegree[k] = s.savedDegree[l];
    ++k;
  }
  s.vertexCount = static_cast<Integer>(k);
  for (int m = n; m < k; ++m) s.vertexKind[m] = 1;
}

}  // namespace drevanti
