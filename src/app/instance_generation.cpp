#include "app/instance_generation.h"

#include <cmath>

#include "geometry/convex_hull.h"
#include "geometry/heap_sort.h"

namespace drevanti {

namespace {

bool sharesX(const SolverState& s, int j) {
  for (int i = 0; i < j; ++i) {
    if (s.vertexX[i] == s.vertexX[j]) return true;
  }
  return false;
}

}  // namespace

void prepareTerminals(SolverState& s) {
  const int n = s.terminalCount;
  s.improvementCount = 0;
  for (int j = 0; j < n; ++j) s.vertexKind[j] = 0;
  heapv(s.vertexX.data(), s.vertexY.data(), s.polarAngle.data(), s.terminalCount);
  for (int j = 0; j < n; ++j) {
    s.savedX[j] = s.vertexX[j];
    s.savedY[j] = s.vertexY[j];
  }
  ch(s);
  s.bestLength = kNoBestLength;
}

bool generateInstance(Solver& solver) {
  SolverState& s = solver.s;
  RandomSource& random = solver.host.random();
  const ScreenSize screen = solver.host.screenSize();
  // Terminals lie between 15-pixel margins. A screen exactly 30 pixels wide leaves them no room:
  // every X would be 15, and no two terminals may share an X. On every other width, narrower ones
  // included, distinct draws give distinct X coordinates.
  if (screen.width == 30) return false;
  const double width = screen.width;
  const double height = screen.height;
  // In double precision r * 46 is exact, so N is exactly uniform over 4..49.
  s.terminalCount = static_cast<Long>(std::floor(static_cast<double>(random.next()) * 46)) + 4;
  for (int j = 0; j < s.terminalCount; ++j) {
    const auto draw = [&] {
      s.vertexX[j] = random.next() * (width - 30) + 15;
      s.vertexY[j] = random.next() * (height - 30) + 15;
    };
    draw();
    // Two terminals with one X would make the hull divide by zero: such a terminal is drawn again,
    // each time after a checkpoint, so that a stop request is honoured even then.
    while (sharesX(s, j)) {
      checkpoint(solver.host);
      draw();
    }
  }
  prepareTerminals(s);
  return true;
}

}  // namespace drevanti
