#include "gdi_canvas.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "render/scene.h"
#include "render/scene_layout.h"
#include "state/solver_state.h"

namespace drevanti::win32 {
namespace {

constexpr int kWidth = 640, kHeight = 480;

bool bright(Rgb c) {
  return c.r > 160 && c.g > 160 && c.b > 160;
}

// Pixels of the given colour inside [left, right) x [top, bottom).
int count(const GdiCanvas& canvas, int left, int top, int right, int bottom, Rgb colour) {
  int n = 0;
  for (int y = top; y < bottom; ++y) {
    for (int x = left; x < right; ++x) n += canvas.pixel(x, y) == colour ? 1 : 0;
  }
  return n;
}

int brightCount(const GdiCanvas& canvas, int left, int top, int right, int bottom) {
  int n = 0;
  for (int y = top; y < bottom; ++y) {
    for (int x = left; x < right; ++x) n += bright(canvas.pixel(x, y)) ? 1 : 0;
  }
  return n;
}

class GdiCanvasTest : public ::testing::Test {
 protected:
  GdiCanvas canvas{kWidth, kHeight, nullptr};
};

TEST_F(GdiCanvasTest, StartsBlackAndFillsTheWholeOrARectangle) {
  EXPECT_EQ(count(canvas, 0, 0, kWidth, kHeight, kBlack), kWidth * kHeight);
  canvas.line(0, 100, 600, 100, kRed);
  canvas.circle(300, 300, 4, kYellow);
  canvas.text(50, 200, "100", kWhite, nullptr);
  ASSERT_GT(count(canvas, 0, 0, kWidth, kHeight, kRed), 0);
  canvas.fill(kBlack, nullptr);
  EXPECT_EQ(count(canvas, 0, 0, kWidth, kHeight, kBlack), kWidth * kHeight);
  const Rect area{10, 20, 30, 5};
  canvas.fill(kRed, &area);
  EXPECT_EQ(count(canvas, 10, 20, 40, 25, kRed), 150);
  EXPECT_EQ(count(canvas, 0, 0, kWidth, kHeight, kRed), 150);
}

TEST_F(GdiCanvasTest, LinesAreOnePixelWideWithBothEndsDrawn) {
  canvas.line(100, 30, 200, 30, kRed);
  EXPECT_EQ(count(canvas, 100, 30, 201, 31, kRed), 101);
  EXPECT_EQ(canvas.pixel(99, 30), kBlack);
  EXPECT_EQ(canvas.pixel(201, 30), kBlack);
  EXPECT_EQ(count(canvas, 0, 29, kWidth, 30, kRed) + count(canvas, 0, 31, kWidth, 32, kRed), 0);

  // Upwards, as the scale bar's ticks are drawn.
  canvas.line(100, 25, 100, 30, kRed);
  canvas.line(200, 25, 200, 30, kRed);
  EXPECT_EQ(count(canvas, 100, 25, 101, 31, kRed), 6);
  EXPECT_EQ(count(canvas, 200, 25, 201, 31, kRed), 6);
  EXPECT_EQ(canvas.pixel(100, 24), kBlack);

  // Fractional coordinates go to the nearest pixel.
  canvas.line(10.4f, 300.6f, 20.4f, 300.6f, kWhite);
  EXPECT_EQ(count(canvas, 10, 301, 21, 302, kWhite), 11);
}

TEST_F(GdiCanvasTest, CirclesAreOutlinesOfTheGivenRadius) {
  canvas.circle(100, 200, 4, kYellow);
  // The four extreme points lie 4 pixels from the centre, and nothing lies further out.
  EXPECT_EQ(canvas.pixel(104, 200), kYellow);
  EXPECT_EQ(canvas.pixel(96, 200), kYellow);
  EXPECT_EQ(canvas.pixel(100, 204), kYellow);
  EXPECT_EQ(canvas.pixel(100, 196), kYellow);
  const int all = count(canvas, 0, 0, kWidth, kHeight, kYellow);
  EXPECT_EQ(count(canvas, 96, 196, 105, 205, kYellow), all);
  // Not filled.
  EXPECT_EQ(count(canvas, 98, 198, 103, 203, kYellow), 0);
  EXPECT_GE(all, 16);

  canvas.circle(300, 200, 2, kWhite);
  EXPECT_EQ(canvas.pixel(302, 200), kWhite);
  EXPECT_EQ(canvas.pixel(298, 200), kWhite);
  EXPECT_EQ(canvas.pixel(300, 200), kBlack);
  EXPECT_EQ(count(canvas, 0, 0, kWidth, kHeight, kWhite),
            count(canvas, 298, 198, 303, 203, kWhite));
}

TEST_F(GdiCanvasTest, TextStartsAtItsTopLeftCornerWithATransparentBackground) {
  canvas.line(0, 305, kWidth - 1, 305, kRed);
  canvas.text(300, 300, "100", kWhite, nullptr);
  const int ink = count(canvas, 300, 300, 340, 320, kWhite);
  EXPECT_GT(ink, 5);
  EXPECT_EQ(brightCount(canvas, 0, 0, 300, kHeight), 0);
  EXPECT_EQ(brightCount(canvas, 0, 0, kWidth, 300), 0);
  // Between the strokes of the digits, the red line is still there.
  EXPECT_GT(count(canvas, 300, 305, 330, 306, kRed), 3);
}

// The scene's status label drawn with GDI: opaque, beneath the tree, cut at its edges.
TEST_F(GdiCanvasTest, TheStatusLabelIsOpaqueAndStaysInItsRectangle) {
  // Something drawn across the label's rectangle first.
  canvas.line(0, 12, kWidth - 1, 12, kRed);
  canvas.fill(kBlack, &kStatusLabel);
  canvas.text(10, 6, "N=7 M=-7 N+M=0 counter=0 d=99999.9 counter2=0", kWhite, &kStatusLabel);
  EXPECT_GT(brightCount(canvas, 8, 0, 409, 25), 40);
  // Its black background covers the line inside the rectangle, and only there.
  EXPECT_EQ(count(canvas, 8, 12, 409, 13, kRed), 0);
  EXPECT_EQ(count(canvas, 0, 12, 8, 13, kRed), 8);
  EXPECT_EQ(count(canvas, 409, 12, kWidth, 13, kRed), kWidth - 409);
  // Far too long a text stops at the label's right edge.
  canvas.text(10, 6, std::string(200, 'W'), kWhite, &kStatusLabel);
  EXPECT_EQ(brightCount(canvas, 0, 0, 8, kHeight) + brightCount(canvas, 409, 0, kWidth, kHeight) +
                brightCount(canvas, 0, 25, kWidth, kHeight),
            0);
}

TEST_F(GdiCanvasTest, TheLabelKeepsItsTextBeneathEveryFrame) {
  auto s = std::make_unique<SolverState>();
  s->terminalCount = 12;
  s->bestVertexCount = 1;
  s->bestX[0] = 20, s->bestY[0] = 12;
  Scene scene;
  scene.repaint(*s, canvas, kWidth);
  // The tree is drawn over it, so a terminal near the corner stays visible.
  EXPECT_EQ(canvas.pixel(24, 12), kYellow);
  EXPECT_EQ(canvas.pixel(16, 12), kYellow);
  scene.clear(canvas);
  EXPECT_EQ(canvas.pixel(24, 12), kBlack);
  EXPECT_GT(brightCount(canvas, 8, 0, 409, 25), 20);
}

TEST(GdiCanvasSizeTest, AnEmptyAreaStillGivesAPicture) {
  GdiCanvas canvas(0, 0, nullptr);
  EXPECT_EQ(canvas.width(), 1);
  EXPECT_EQ(canvas.height(), 1);
  canvas.line(-10, -10, 10, 10, kRed);
  canvas.text(0, 0, "0", kWhite, nullptr);
  EXPECT_EQ(canvas.pixel(5, 5), kBlack);  // outside: black
}

}  // namespace
}  // namespace drevanti::win32
