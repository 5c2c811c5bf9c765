#include "screen_fit.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "app/instance_generation.h"
#include "render/decimal_text.h"

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

Point turn(Point p, double angle) {
  const double c = std::cos(angle), s = std::sin(angle);
  return {p.x * c - p.y * s, p.x * s + p.y * c};
}

// The terminals' frame: the centre of their bounding box and half its larger side. Halves are
// taken before differences, so nothing overflows even for coordinates of opposite signs near the
// largest double.
ScreenFit frameOf(const std::vector<Point>& terminals) {
  double minX = std::numeric_limits<double>::infinity(), minY = minX;
  double maxX = -minX, maxY = -minX;
  for (const Point& p : terminals) {
    minX = std::min(minX, p.x);
    minY = std::min(minY, p.y);
    maxX = std::max(maxX, p.x);
    maxY = std::max(maxY, p.y);
  }
  ScreenFit fit;
  fit.centreX = minX / 2 + maxX / 2;
  fit.centreY = minY / 2 + maxY / 2;
  fit.halfSpread = std::max(maxX / 2 - minX / 2, maxY / 2 - minY / 2);
  return fit;
}

ScreenFit place(const std::vector<Point>& terminals, ScreenFit fit, double angle) {
  fit.angle = angle;
  std::vector<Point> turned;
  for (const Point& p : terminals) {
    const Point framed{(p.x / 2 - fit.centreX / 2) / fit.halfSpread,
                       (p.y / 2 - fit.centreY / 2) / fit.halfSpread};
    turned.push_back(angle == 0 ? framed : turn(framed, angle));
  }
  double maxU = -std::numeric_limits<double>::infinity(), maxV = maxU;
  fit.minU = fit.minV = std::numeric_limits<double>::infinity();
  for (const Point& p : turned) {
    fit.minU = std::min(fit.minU, p.x);
    fit.minV = std::min(fit.minV, p.y);
    maxU = std::max(maxU, p.x);
    maxV = std::max(maxV, p.y);
  }
  double s = std::numeric_limits<double>::infinity();
  if (maxU > fit.minU) s = (kFitWidth - 2 * kScreenMargin) / (maxU - fit.minU);
  if (maxV > fit.minV) s = std::min(s, (kFitHeight - 2 * kScreenMargin) / (maxV - fit.minV));
  fit.framePixels = s;
  // A frame unit is twice halfSpread input units.
  fit.scale = s / 2 / fit.halfSpread;
  fit.screen.clear();
  for (const Point& p : turned) {
    fit.screen.push_back(
        {kScreenMargin + (p.x - fit.minU) * s, kScreenMargin + (p.y - fit.minV) * s});
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
  const Point turned{minU + (onScreen.x - kScreenMargin) / framePixels,
                     minV + (onScreen.y - kScreenMargin) / framePixels};
  const Point framed = angle == 0 ? turned : turn(turned, -angle);
  return {centreX + framed.x * halfSpread * 2, centreY + framed.y * halfSpread * 2};
}

ScreenFit fitToScreen(const std::vector<Point>& terminals) {
  const ScreenFit frame = frameOf(terminals);
  if (!(frame.halfSpread >= kMinSpread / 2)) {
    throw InputError("the terminals' spread, " + generalDecimal(frame.halfSpread * 2, 3) +
                     ", is below 1e-300: too small to measure in doubles");
  }
  ScreenFit fit = place(terminals, frame, 0);
  rejectNearTwins(fit.screen);
  if (smallestXGap(fit.screen) < kMinXGap) {
    double widest = smallestXGap(fit.screen);
    for (double angle : kTurns) {
      ScreenFit turned = place(terminals, frame, angle);
      const double gap = smallestXGap(turned.screen);
      if (gap > widest) {
        widest = gap;
        fit = std::move(turned);
      }
      if (widest >= kMinXGap) break;
    }
  }
  const double area =
      static_cast<double>(kFitWidth - 2 * kScreenMargin) * (kFitHeight - 2 * kScreenMargin);
  fit.sampleCandidates = largestTriangle(fit.screen) >= kMinHullShare * area;
  return fit;
}

}  // namespace drevanti::tool
