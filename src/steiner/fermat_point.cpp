#include "steiner/fermat_point.h"

#include <algorithm>
#include <cmath>

#include "geometry/geometry_helpers.h"

namespace drevanti {

namespace {

// Beyond this slope the line from the apex to the third vertex is solved for x in terms of y: the
// offset point is read off the line at the offset X, which on a steep line would move it by up to
// 0.0001 times the slope, and an exactly vertical line has no slope at all.
constexpr double kSteepestSlope = 1e4;
constexpr double kOffset = 0.0001;

// Sign of the rotation that turns the side ij1-ij2 away from the third point, or 0 when the
// third point lies on the side's line.
int rotationSign(double x1, double y1, double x2, double y2, double x3, double y3) {
  const double m = (y2 - y1) / (x2 - x1);
  const double b = y1 - m * x1;
  const double l = m * x3 + b;
  if (std::isfinite(l)) {
    if (l > y3 && x1 > x2) return 1;
    if (l < y3 && x1 < x2) return 1;
    if (l > y3 && x1 < x2) return -1;
    if (l < y3 && x1 > x2) return -1;
    return 0;
  }
  // A vertical side has no finite slope: decide the side by the cross product, which agrees with
  // the table above wherever both are defined.
  const double cross = (x2 - x1) * (y3 - y1) - (y2 - y1) * (x3 - x1);
  return cross > 0 ? 1 : (cross < 0 ? -1 : 0);
}

// Writes the constructed point into vertex target; returns nothing, draws two random numbers.
void construct(SolverState& s, RandomSource& random, Long target, Long p1, Long p2, Long p3,
               bool appending) {
  const double gx = (s.vertexX[p2] + s.vertexX[p1] + s.apexX) / 3;
  const double gy = (s.vertexY[p2] + s.vertexY[p1] + s.apexY) / 3;
  const double rad = dist(s.vertexX[p1], s.vertexY[p1], gx, gy);

  // The circle is centred on the local origin (gx, gy): the given vertices and the apex are
  // shifted in place and shifted back at the end, exactly as the construction always did, so the
  // coordinates round-trip through one subtraction and one addition.
  for (Long p : {p1, p2, p3}) {
    s.vertexX[p] -= gx;
    s.vertexY[p] -= gy;
  }
  s.apexX -= gx;
  s.apexY -= gy;
  const double ax = s.apexX;
  const double ay = s.apexY;
  const double x3 = s.vertexX[p3];
  const double y3 = s.vertexY[p3];

  const double slope = (y3 - ay) / (x3 - ax);
  const double r1 = random.next();
  const double r2 = random.next();
  if (std::abs(slope) <= kSteepestSlope) {
    const double c = ay - slope * ax;
    // A negative discriminant only comes from rounding near tangency or from a stale apex: the
    // line then misses the circle, and its nearest point is taken.
    const double d =
        std::max(0.0, slope * slope * (c * c) - (c * c - rad * rad) * (slope * slope + 1));
    const double q = power(d, 0.5);
    const double x0 =
        ax >= x3 ? (-slope * c - q) / (slope * slope + 1) : (-slope * c + q) / (slope * slope + 1);
    s.vertexX[target] = x0 + kOffset * std::cos(2 * s.piValue * r1);
    s.vertexY[target] = slope * s.vertexX[target] + c + kOffset * std::sin(2 * s.piValue * r2);
  } else {
    // The same intersection with the roles of x and y exchanged: x = t y + u.
    double inverse = (x3 - ax) / (y3 - ay);
    if (!std::isfinite(inverse)) inverse = 0;  // the third vertex lies on the apex
    const double u = ax - inverse * ay;
    const double d =
        std::max(0.0, inverse * inverse * (u * u) - (u * u - rad * rad) * (inverse * inverse + 1));
    const double q = std::sqrt(d);
    const double y0 = ay >= y3 ? (-inverse * u - q) / (inverse * inverse + 1)
                               : (-inverse * u + q) / (inverse * inverse + 1);
    s.vertexX[target] = inverse * y0 + u + kOffset * std::cos(2 * s.piValue * r1);
    s.vertexY[target] = y0 + kOffset * std::sin(2 * s.piValue * r2);
  }
  s.vertexKind[target] = 1;
  if (appending) ++s.vertexCount;

  for (Long p : {p1, p2, p3, target}) {
    s.vertexX[p] += gx;
    s.vertexY[p] += gy;
  }
  s.apexX += gx;
  s.apexY += gy;
}

}  // namespace

void ihoujin(SolverState& s, Long ij1, Long ij2, Long ij3) {
  const double x1 = s.vertexX[ij1], y1 = s.vertexY[ij1];
  const double x2 = s.vertexX[ij2], y2 = s.vertexY[ij2];
  const int sign = rotationSign(x1, y1, x2, y2, s.vertexX[ij3], s.vertexY[ij3]);
  if (sign == 0) return;
  const double theta = sign * (s.piValue / 3);
  const double dx = x2 - x1;
  const double dy = y2 - y1;
  s.apexX = x1 + dx * std::cos(theta) + dy * std::sin(theta);
  s.apexY = y1 - dx * std::sin(theta) + dy * std::cos(theta);
}

void musoubana(SolverState& s, RandomSource& random, Long mij1, Long mij2, Long mij3) {
  if (s.vertexCount >= kVertexCapacity) return;
  construct(s, random, s.vertexCount, mij1, mij2, mij3, true);
}

void msbn2(SolverState& s, RandomSource& random, Long msbn, Long mij1, Long mij2, Long mij3) {
  construct(s, random, msbn, mij1, mij2, mij3, false);
}

}  // namespace drevanti
