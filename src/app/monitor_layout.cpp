#include "app/monitor_layout.h"

namespace drevanti {

namespace {

bool inside(const Monitor& inner, const Monitor& outer) {
  return inner.x >= outer.x && inner.y >= outer.y &&
         inner.x + inner.width <= outer.x + outer.width &&
         inner.y + inner.height <= outer.y + outer.height;
}

}  // namespace

std::vector<Monitor> monitorsToCover(const std::vector<Monitor>& reported) {
  std::vector<Monitor> kept;
  for (std::size_t i = 0; i < reported.size(); ++i) {
    const Monitor& m = reported[i];
    if (m.width <= 0 || m.height <= 0) continue;
    bool covered = false;
    for (std::size_t j = 0; j < reported.size() && !covered; ++j) {
      if (j == i || reported[j].width <= 0 || reported[j].height <= 0) continue;
      // Of two equal rectangles (whatever their densities) the first is kept.
      covered = inside(m, reported[j]) && (!inside(reported[j], m) || j < i);
    }
    if (!covered) kept.push_back(m);
  }
  return kept;
}

}  // namespace drevanti
