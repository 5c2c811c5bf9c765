#include "screen_fit.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

namespace drevanti::tool {

namespace {

// Screen X coordinates must differ by at least this much: the hull tracing compares X
// coordinates with absolute tolerances of 1e-6 and 1e-7 pixels.
constexpr double kMinXGap = 1e-3;
constexpr double kMinTwinDistance = 1e-2;
// Random candidates are drawn over the whole screen and kept if inside the hull; below this share
// of the screen's area the draws would practically never end, and the candidates are skipped (the
// rounds still insert and move Steiner points at the terminals).
constexpr double kMinHullShare = 1e-4;
// Turns tried, in order, when terminals share an X: irregular, so that no small grid lines up.
constexpr double kTurns[] = {0.1234, 0.3571, 0.5813, 0.7391, 0.9627, 1.1853, 1.4219};

Point turn(Point p, double angle, double cx, double cy) {
  const double c = std::cos(angle), s = std::sin(angle);
  const double dx = p.x - cx, dy = p.y - cy;
  return {cx + dx * c - dy * s, cy + dx * s + dy * c};
}

ScreenFit place(const std::vector<Point>& terminals, double angle, double cx, double cy) {
  ScreenFit fit;
  fit.angle = angle;
  fit.centreX = cx;
  fit.centreY = cy;
  std::vector<Point> turned;
  for (const Point& p : terminals) turned.push_back(angle == 0 ? p : turn(p, angle, cx, cy));
  double maxX = -std::numeric_limits<double>::infinity(), maxY = maxX;
  fit.minX = fit.minY = std::numeric_limits<double>::infinity();
  for (const Point& p : turned) {
    fit.minX = std::min(fit.minX, p.x);
    fit.minY = std::min(fit.minY, p.y);
    maxX = std::max(maxX, p.x);
    maxY = std::max(maxY, p.y);
  }
  fit.scale = std::numeric_limits<double>::infinity();
  if (maxX > fit.minX) fit.scale = (kFitWidth - 30) / (maxX - fit.minX);
  if (maxY > fit.minY) fit.scale = std::min(fit.scale, (kFitHeight - 30) / (maxY - fit.minY));
  for (const Point& p : turned) {
    fit.screen.push_back({15 + (p.x - fit.minX) * fit.scale, 15 + (p.y - fit.minY) * fit.scale});
  }
  return fit;
}

double smallestXGap(const std::vector<Point>& points) {
  std::vector<double> xs;
  for (const Point& p : points) xs.push_back(p.x);
  std::sort(xs.begin(), xs.end());
  double gap = std::numeric_limits<double>::infinity();
  for (std::size_t i = 1; i < xs.size(); ++i) gap = std::min(gap, xs[i] - xs[i - 1]);
  return gap;
}

// The largest triangle on the terminals: a lower bound of the hull's area.
double largestTriangle(const std::vector<Point>& p) {
  double best = 0;
  for (std::size_t i = 0; i < p.size(); ++i) {
    for (std::size_t j = i + 1; j < p.size(); ++j) {
      for (std::size_t k = j + 1; k < p.size(); ++k) {
        const double area = std::abs((p[j].x - p[i].x) * (p[k].y - p[i].y) -
                                     (p[k].x - p[i].x) * (p[j].y - p[i].y)) /
                            2;
        best = std::max(best, area);
      }
    }
  }
  return best;
}

// Terminals closer than this on the screen cannot be told apart by any turn.
void rejectNearTwins(const std::vector<Point>& p) {
  for (std::size_t i = 0; i < p.size(); ++i) {
    for (std::size_t j = i + 1; j < p.size(); ++j) {
      if (std::hypot(p[i].x - p[j].x, p[i].y - p[j].y) < kMinTwinDistance) {
        throw InputError("terminals " + std::to_string(i + 1) + " and " + std::to_string(j + 1) +
                         " lie too close together to be told apart");
      }
    }
  }
}

}  // namespace

Point ScreenFit::toInput(Point onScreen) const {
  const Point turned{minX + (onScreen.x - 15) / scale, minY + (onScreen.y - 15) / scale};
  return angle == 0 ? turned : turn(turned, -angle, centreX, centreY);
}

ScreenFit fitToScreen(const std::vector<Point>& terminals) {
  ScreenFit fit = place(terminals, 0, 0, 0);
  rejectNearTwins(fit.screen);
  if (smallestXGap(fit.screen) < kMinXGap) {
    double cx = 0, cy = 0;
    for (const Point& p : terminals) {
      cx += p.x / static_cast<double>(terminals.size());
      cy += p.y / static_cast<double>(terminals.size());
    }
    double widest = smallestXGap(fit.screen);
    for (double angle : kTurns) {
      ScreenFit turned = place(terminals, angle, cx, cy);
      const double gap = smallestXGap(turned.screen);
      if (gap > widest) {
        widest = gap;
        fit = std::move(turned);
      }
      if (widest >= kMinXGap) break;
    }
  }
  const double area = static_cast<double>(kFitWidth - 30) * (kFitHeight - 30);
  fit.sampleCandidates = largestTriangle(fit.screen) >= kMinHullShare * area;
  return fit;
}

}  // namespace drevanti::tool
