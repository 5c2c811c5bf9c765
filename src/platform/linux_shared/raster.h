// Pixel rasterisers for the saver's drawing: one-pixel lines and circle outlines on the integer
// grid. Pure functions, so the pixels they choose can be checked without a display.
#pragma once

#include <functional>

namespace drevanti::linux_shared {

using PlotPixel = std::function<void(int x, int y)>;

// Rounds a drawing coordinate to its pixel: nearest integer, halves away from zero; values far
// outside any screen are clamped so that a wild coordinate cannot make a line run for ever.
int toPixel(float coordinate);

// Every pixel of the line from (x1, y1) to (x2, y2), both ends included, 8-connected (Bresenham).
void rasterLine(int x1, int y1, int x2, int y2, const PlotPixel& plot);

// The outline of the circle of the given radius around (cx, cy), one pixel wide and not filled
// (midpoint algorithm); each pixel is plotted once. A radius of 0 plots the centre alone.
void rasterCircle(int cx, int cy, int radius, const PlotPixel& plot);

}  // namespace drevanti::linux_shared
