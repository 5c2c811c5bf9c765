#include "geometry/geometry_helpers.h"

#include <algorithm>
#include <cmath>

namespace drevanti {

double power(double base, double exponent) {
  return std::pow(base, exponent);
}

double dist(double x1, double y1, double x2, double y2) {
  // The general power with exponents 2 and 0.5 is, for a finite non-negative sum, the plain
  // square and the square root; both are correctly rounded by IEEE arithmetic, so the distance
  // has the same bits on every platform (and costs a fraction of a pow call).
  const double a = (y2 - y1) * (y2 - y1);
  const double b = (x2 - x1) * (x2 - x1);
  return std::sqrt(b + a);
}

double arcsin(double x) {
  x = std::clamp(x, -1.0, 1.0);
  const double t = 1.0 - x * x;
  const double r = std::sqrt(t);
  const double q = x / r;
  return std::atan(q);
}

double arccos(double x, double piValue) {
  return piValue / 2.0 - arcsin(x);
}

}  // namespace drevanti
