#include "steiner/terminal_insertion.h"

#include "steiner/corner_angle.h"
#include "steiner/fermat_point.h"

namespace drevanti {

namespace {

// The terminal goes first, so the equilateral triangle stands on the side from the terminal to
// the first neighbour of the pair, away from the second.
void insertAt(Solver& solver, Long terminal, Long a, Long b) {
  ihoujin(solver.s, terminal, a, b);
  musoubana(solver.s, solver.host.random(), terminal, a, b);
}

}  // namespace

void tase1(Solver& solver, Long it1) {
  const SolverState& s = solver.s;
  const Long a = s.treeNeighbour(it1, 0);
  const Long b = s.treeNeighbour(it1, 1);
  const Long c = s.treeNeighbour(it1, 2);
  double best = cornerAngle(s, it1, a, b);
  int choice = 1;
  const double second = cornerAngle(s, it1, b, c);
  if (second < best) {
    best = second;
    choice = 2;
  }
  const double third = cornerAngle(s, it1, c, a);
  if (third < best) choice = 3;
  switch (choice) {
    case 1:
      insertAt(solver, it1, a, b);
      break;
    case 2:
      insertAt(solver, it1, b, c);
      break;
    default:
      insertAt(solver, it1, c, a);
      break;
  }
}

void tase2(Solver& solver, Long it2) {
  insertAt(solver, it2, solver.s.treeNeighbour(it2, 0), solver.s.treeNeighbour(it2, 1));
}

}  // namespace drevanti
