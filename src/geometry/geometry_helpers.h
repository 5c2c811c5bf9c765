// Distance, arcsine, arccosine and power, computed the way every result of the solver depends on.
#pragma once

namespace drevanti {

// Euclidean distance of (x1, y1) and (x2, y2): the root of the sum of the squares, summed in the
// order (x difference squared) + (y difference squared).
double dist(double x1, double y1, double x2, double y2);
// Arcsine from the arctangent. The argument is clamped to [-1, 1], so rounding just past the
// domain cannot make a NaN; at +-1 the quotient is infinite and the result is +-pi/2.
double arcsin(double x);
// piValue / 2 - arcsin(x).
double arccos(double x, double piValue);
double power(double base, double exponent);

}  // namespace drevanti
