#include "geometry/spanning_tree.h"

#include <utility>

#include "geometry/geometry_helpers.h"
#include "geometry/heap_sort.h"

namespace drevanti {

namespace {

// Every pair of eligible vertices, in lexicographic order; returns their number.
int buildCandidates(SolverState& s) {
  const int v = s.vertexCount;
  int e = 0;
  for (int i = 0; i < v; ++i) {
    if (s.vertexKind[i] >= 2) continue;
    for (int j = i + 1; j < v; ++j) {
      if (s.vertexKind[j] >= 2) continue;
      s.candFrom[e] = i;
      s.candTo[e] = j;
      s.candLength[e] = dist(s.vertexX[i], s.vertexY[i], s.vertexX[j], s.vertexY[j]);
      ++e;
    }
  }
  return e;
}

int eligibleCount(const SolverState& s) {
  int eligible = 0;
  for (int i = 0; i < s.vertexCount; ++i) eligible += s.vertexKind[i] < 2;
  return eligible;
}

void resetTree(SolverState& s) {
  for (int i = 0; i < s.vertexCount; ++i) {
    s.componentSize[i] = 0;
    s.vertexDegree[i] = 0;
  }
  s.treeEdgeCount = 0;
}

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

// Kruskal's step for the candidate at index h: accepted unless its ends are already connected.
void consider(SolverState& s, int h) {
  const int a = static_cast<int>(s.candFrom[h]);
  const int b = static_cast<int>(s.candTo[h]);
  if (sameComponent(s, a, b)) return;
  s.edgeFrom[s.treeEdgeCount] = static_cast<Integer>(a);
  s.edgeTo[s.treeEdgeCount] = static_cast<Integer>(b);
  ++s.treeEdgeCount;
  s.treeNeighbour(a, s.vertexDegree[a]) = b;
  ++s.vertexDegree[a];
  s.treeNeighbour(b, s.vertexDegree[b]) = a;
  ++s.vertexDegree[b];
  merge(s, a, b);
}

void swapCandidates(SolverState& s, int i, int j) {
  std::swap(s.candLength[i], s.candLength[j]);
  std::swap(s.candFrom[i], s.candFrom[j]);
  std::swap(s.candTo[i], s.candTo[j]);
}

// Min-heap on candLength over indices 0..size-1, children of i at 2i + 1 and 2i + 2.
void siftDown(SolverState& s, int i, int size) {
  while (true) {
    int smallest = i;
    const int left = 2 * i + 1, right = left + 1;
    if (left < size && s.candLength[left] < s.candLength[smallest]) smallest = left;
    if (right < size && s.candLength[right] < s.candLength[smallest]) smallest = right;
    if (smallest == i) return;
    swapCandidates(s, i, smallest);
    i = smallest;
  }
}

// The tree is usually complete after a small share of the candidates, so they are taken from a
// min-heap only as far as needed instead of being sorted whole. Without ties in the lengths taken
// (and none between the last one taken and the next), every sort gives that prefix in the same
// order, so the tree is exactly the one the full heap sort gives. Returns false on a tie: which
// of equal edges wins is decided by heapv's tie rules, and only the full sort knows them.
bool kruskalWithoutTies(SolverState& s, int e, int eligible) {
  for (int i = e / 2 - 1; i >= 0; --i) siftDown(s, i, e);
  int size = e;
  double last = -1;
  while (s.treeEdgeCount < eligible - 1) {
    --size;
    swapCandidates(s, 0, size);
    siftDown(s, 0, size);
    if (s.candLength[size] == last) return false;
    last = s.candLength[size];
    consider(s, size);
  }
  return size == 0 || s.candLength[0] != last;
}

}  // namespace

void mst(SolverState& s) {
  const int eligible = eligibleCount(s);
  resetTree(s);
  if (kruskalWithoutTies(s, buildCandidates(s), eligible)) return;
  const int e = buildCandidates(s);
  heapv(s.candLength.data(), s.candFrom.data(), s.candTo.data(), e);
  resetTree(s);
  // Once the tree spans every eligible vertex all further candidates would be rejected without
  // changing anything, so the scan may stop there.
  for (int h = 0; h < e && s.treeEdgeCount < eligible - 1; ++h) consider(s, h);
}

}  // namespace drevanti
