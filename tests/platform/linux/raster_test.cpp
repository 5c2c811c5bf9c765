#include "raster.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <set>
#include <utility>
#include <vector>

namespace drevanti::linux_shared {
namespace {

using Pixel = std::pair<int, int>;

struct Plotted {
  std::vector<Pixel> order;
  std::set<Pixel> set;
};

Plotted circle(int cx, int cy, int radius) {
  Plotted out;
  rasterCircle(cx, cy, radius, [&](int x, int y) {
    out.order.emplace_back(x, y);
    out.set.emplace(x, y);
  });
  return out;
}

int neighbours(const std::set<Pixel>& set, Pixel p) {
  int n = 0;
  for (int dx = -1; dx <= 1; ++dx) {
    for (int dy = -1; dy <= 1; ++dy) {
      if ((dx || dy) && set.count({p.first + dx, p.second + dy})) ++n;
    }
  }
  return n;
}

TEST(CircleOutline, RadiusFourIsASymmetricHollowRingOnePixelWide) {
  const Plotted c = circle(0, 0, 4);
  EXPECT_EQ(c.order.size(), c.set.size()) << "a pixel plotted twice";
  for (const auto& [x, y] : c.set) {
    // The eight symmetries of the square grid.
    for (const Pixel& image : {Pixel{-x, y}, Pixel{x, -y}, Pixel{y, x}, Pixel{-y, -x}}) {
      EXPECT_TRUE(c.set.count(image))
          << x << "," << y << " has no mirror " << image.first << "," << image.second;
    }
    // On the ring: no pixel is more than half a pixel off the radius.
    EXPECT_NEAR(std::hypot(x, y), 4.0, 0.5) << x << "," << y;
    // One pixel wide and closed: each pixel touches exactly two others.
    EXPECT_EQ(neighbours(c.set, {x, y}), 2) << x << "," << y;
  }
  // The axes cross it at the radius; nothing inside is set.
  for (const Pixel& p : {Pixel{4, 0}, Pixel{-4, 0}, Pixel{0, 4}, Pixel{0, -4}}) {
    EXPECT_TRUE(c.set.count(p));
  }
  for (int x = -3; x <= 3; ++x) {
    for (int y = -3; y <= 3; ++y) {
      if (x * x + y * y <= 9) {
        EXPECT_FALSE(c.set.count({x, y})) << x << "," << y;
      }
    }
  }
}

TEST(CircleOutline, EveryRadiusUpToFortyIsAThinClosedRing) {
  for (int r = 1; r <= 40; ++r) {
    const Plotted c = circle(100, -7, r);
    EXPECT_EQ(c.order.size(), c.set.size()) << "r=" << r;
    for (const auto& p : c.set) {
      const int x = p.first - 100, y = p.second + 7;
      EXPECT_NEAR(std::hypot(x, y), r, 0.5) << "r=" << r << " at " << x << "," << y;
      EXPECT_EQ(neighbours(c.set, p), 2) << "r=" << r << " at " << x << "," << y;
      EXPECT_TRUE(c.set.count({100 + y, -7 + x})) << "r=" << r;
    }
  }
}

TEST(CircleOutline, RadiusTwoIsTheSmallSteinerRing) {
  const Plotted c = circle(10, 10, 2);
  EXPECT_FALSE(c.set.count({10, 10}));
  for (const Pixel& p : {Pixel{12, 10}, Pixel{8, 10}, Pixel{10, 12}, Pixel{10, 8}}) {
    EXPECT_TRUE(c.set.count(p));
  }
  for (const auto& p : c.set) EXPECT_EQ(neighbours(c.set, p), 2);
}

TEST(CircleOutline, RadiusZeroIsTheCentre) {
  const Plotted c = circle(3, 4, 0);
  EXPECT_EQ(c.set, (std::set<Pixel>{{3, 4}}));
}

std::vector<Pixel> line(int x1, int y1, int x2, int y2) {
  std::vector<Pixel> out;
  rasterLine(x1, y1, x2, y2, [&](int x, int y) { out.emplace_back(x, y); });
  return out;
}

TEST(Line, ScaleBarRowHasEveryPixelFromEndToEnd) {
  const auto bar = line(1080, 30, 1180, 30);
  ASSERT_EQ(bar.size(), 101u);
  for (int i = 0; i <= 100; ++i) EXPECT_EQ(bar[i], (Pixel{1080 + i, 30}));
  const auto tick = line(1080, 25, 1080, 30);
  ASSERT_EQ(tick.size(), 6u);
  EXPECT_EQ(tick.front(), (Pixel{1080, 25}));
  EXPECT_EQ(tick.back(), (Pixel{1080, 30}));
}

TEST(Line, RunsEightConnectedBetweenItsEndsInEveryDirection) {
  const int ends[][4] = {
      {0, 0, 17, 5}, {17, 5, 0, 0}, {3, 9, -4, -20}, {-6, 2, 6, 1}, {5, 5, 5, 5}};
  for (const auto& e : ends) {
    const auto px = line(e[0], e[1], e[2], e[3]);
    const int steps = std::max(std::abs(e[2] - e[0]), std::abs(e[3] - e[1]));
    ASSERT_EQ(px.size(), static_cast<std::size_t>(steps + 1));
    EXPECT_EQ(px.front(), (Pixel{e[0], e[1]}));
    EXPECT_EQ(px.back(), (Pixel{e[2], e[3]}));
    for (std::size_t i = 1; i < px.size(); ++i) {
      EXPECT_LE(std::abs(px[i].first - px[i - 1].first), 1);
      EXPECT_LE(std::abs(px[i].second - px[i - 1].second), 1);
      EXPECT_NE(px[i], px[i - 1]);
    }
    // Every pixel stays within half a pixel (along the minor axis) of the true line.
    for (const auto& [x, y] : px) {
      const double dx = e[2] - e[0], dy = e[3] - e[1];
      const double length = std::hypot(dx, dy);
      if (length == 0) continue;
      const double off = std::abs((x - e[0]) * dy - (y - e[1]) * dx) / length;
      EXPECT_LE(off, 0.75) << x << "," << y;
    }
  }
}

TEST(ToPixel, RoundsToTheNearestPixelAndTamesWildValues) {
  EXPECT_EQ(toPixel(10.4f), 10);
  EXPECT_EQ(toPixel(10.6f), 11);
  EXPECT_EQ(toPixel(-2.6f), -3);
  EXPECT_EQ(toPixel(std::nanf("")), 0);
  EXPECT_LE(toPixel(1e30f), 1 << 20);
  EXPECT_GE(toPixel(-1e30f), -(1 << 20));
}

}  // namespace
}  // namespace drevanti::linux_shared
