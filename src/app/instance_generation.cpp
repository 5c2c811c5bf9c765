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
  // A screen exactly two margins wide leaves the terminals no room: every X would be the margin,
  // and no two terminals may share an X. On every other width, narrower ones included, distinct
  // draws give distinct X coordinates.
  if (screen.width == 2 * kScreenMargin) return false;
  const double width = screen.width;
  const double height = screen.height;
  // In double precision r * 46 is exact, so N is exactly uniform over 4..49.
  constexpr int kCounts = kMaxTerminals - kFewestTerminals + 1;
  s.terminalCount = static_cast<Long>(std::floor(static_cast<double>(random.next()) * kCounts)) +
                    kFewestTerminals;
  for (int j = 0; j < s.terminalCount; ++j) {
    const auto draw = [&] {
      s.vertexX[j] = random.next() * (width - 2 * kScreenMargin) + kScreenMargin;
      s.vertexY[j] = random.next() * (height - 2 * kScreenMargin) + kScreenMargin;
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
