#include "geometry/geometry_helpers.h"

#include <algorithm>
#include <cmath>

namespace drevanti {

double power(double base, double exponent) {
  return std::pow(base, exponent);
}

double dist(double x1, double y1, double x2, double y2) {
  const double a = power(y2 - y1, 2.0);
  const double b = power(x2 - x1, 2.0);
  return power(b + a, 0.5);
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
