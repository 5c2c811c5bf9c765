#include "raster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "render/canvas.h"

namespace drevanti::linux_shared {

int toPixel(float coordinate) {
  if (std::isnan(coordinate)) return 0;
  return static_cast<int>(std::lround(std::clamp(coordinate, -kCoordinateLimit, kCoordinateLimit)));
}

void rasterLine(int x1, int y1, int x2, int y2, const PlotPixel& plot) {
  const int dx = std::abs(x2 - x1);
  const int dy = -std::abs(y2 - y1);
  const int stepX = x1 < x2 ? 1 : -1;
  const int stepY = y1 < y2 ? 1 : -1;
  int error = dx + dy;
  int x = x1, y = y1;
  while (true) {
    plot(x, y);
    if (x == x2 && y == y2) return;
    const int twice = 2 * error;
    if (twice >= dy) {
      error += dy;
      x += stepX;
    }
    if (twice <= dx) {
      error += dx;
      y += stepY;
    }
  }
}

void rasterCircle(int cx, int cy, int radius, const PlotPixel& plot) {
  if (radius <= 0) {
    plot(cx, cy);
    return;
  }
  // One octant from (radius, 0) up to the diagonal, mirrored into the other seven. The decision
  // value picks, at each row, the column whose centre lies nearest to the true circle.
  int x = radius, y = 0;
  int decision = 1 - radius;
  bool straightStep = false;  // the last step kept x
  while (x >= y) {
    // A diagonal pixel reached by a straight step would only thicken the corner where this octant
    // meets its mirror image: (x, x - 1) and (x - 1, x) touch already.
    if (x == y && straightStep) return;
    // The eight mirror images; those that coincide (on the axes and the diagonals) only once.
    const int points[8][2] = {{x, y},   {y, x},   {-y, x}, {-x, y},
                              {-x, -y}, {-y, -x}, {y, -x}, {x, -y}};
    for (int i = 0; i < 8; ++i) {
      bool repeated = false;
      for (int j = 0; j < i && !repeated; ++j) {
        repeated = points[j][0] == points[i][0] && points[j][1] == points[i][1];
      }
      if (!repeated) plot(cx + points[i][0], cy + points[i][1]);
    }
    ++y;
    straightStep = decision < 0;
    if (straightStep) {
      decision += 2 * y + 1;
    } else {
      --x;
      decision += 2 * (y - x) + 1;
    }
  }
}

}  // namespace drevanti::linux_shared
