#include "geometry/spanning_tree.h"

#include "geometry/geometry_helpers.h"
#include "geometry/heap_sort.h"

namespace drevanti {

namespace {

void append(SolverState& s, int v, Long x) {
  s.componentList(v, s.componentSize[v]) = x;
  ++s.componentSize[v];
}

bool sameComponent(const SolverState& s, int a, int b) {
  for (int k = 0; k < s.componentSize[a]; ++k) {
    if (s.componentList(a, k) == b) return true;
  }
  return false;
}

// Every vertex keeps the complete list of the other members of its component; a merge appends each
// side's members to every list on the other side. Only the entries present before the merge are
// read, and those are never overwritten, so both sides copy their old members.
void merge(SolverState& s, int a, int b) {
  s.fromListSize = s.componentSize[a];
  s.toListSize = s.componentSize[b];
  append(s, a, b);
  for (int k = 0; k < s.toListSize; ++k) {
    const Long w = s.componentList(b, k);
    append(s, a, w);
    append(s, w, a);
    for (int l = 0; l < s.fromListSize; ++l) append(s, w, s.componentList(a, l));
  }
  append(s, b, a);
  for (int k = 0; k < s.fromListSize; ++k) {
    const Long u = s.componentList(a, k);
    append(s, b, u);
    append(s, u, b);
    for (int l = 0; l < s.toListSize; ++l) append(s, u, s.componentList(b, l));
  }
}

}  // namespace

void mst(SolverState& s) {
  const int v = s.vertexCount;
  int eligible = 0;
  int e = 0;
  for (int i = 0; i < v; ++i) {
    if (s.vertexKind[i] >= 2) continue;
    ++eligible;
    for (int j = i + 1; j < v; ++j) {
      if (s.vertexKind[j] >= 2) continue;
      s.candFrom[e] = i;
      s.candTo[e] = j;
      s.candLength[e] = dist(s.vertexX[i], s.vertexY[i], s.vertexX[j], s.vertexY[j]);
      ++e;
    }
  }
  heapv(s.candLength.data(), s.candFrom.data(), s.candTo.data(), e);
  for (int i = 0; i < v; ++i) {
    s.componentSize[i] = 0;
    s.vertexDegree[i] = 0;
  }
  s.treeEdgeCount = 0;
  // Once the tree spans every eligible vertex all further candidates would be rejected without
  // changing anything, so the scan may stop there.
  for (int h = 0; h < e && s.treeEdgeCount < eligible - 1; ++h) {
    const int a = static_cast<int>(s.candFrom[h]);
    const int b = static_cast<int>(s.candTo[h]);
    if (sameComponent(s, a, b)) continue;
    s.edgeFrom[s.treeEdgeCount] = static_cast<Integer>(a);
    s.edgeTo[s.treeEdgeCount] = static_cast<Integer>(b);
    ++s.treeEdgeCount;
    s.treeNeighbour(a, s.vertexDegree[a]) = b;
    ++s.vertexDegree[a];
    s.treeNeighbour(b, s.vertexDegree[b]) = a;
    ++s.vertexDegree[b];
    merge(s, a, b);
  }
}

}  // namespace drevanti
