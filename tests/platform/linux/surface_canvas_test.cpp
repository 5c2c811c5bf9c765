#include "surface_canvas.h"

#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>

#include "owned.h"
#include "render/scaled_canvas.h"
#include "render/scene.h"
#include "render/scene_layout.h"
#include "state/screen_size.h"
#include "state/solver_state.h"

namespace drevanti::linux_shared {
namespace {

class SurfaceCanvasTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(TTF_Init(), 0) << TTF_GetError();
    text_ = std::make_unique<TextRenderer>(kSaverTextPixels);
    surface_.reset(SDL_CreateRGBSurfaceWithFormat(0, 640, 120, 32, SDL_PIXELFORMAT_RGB888));
    ASSERT_TRUE(surface_) << SDL_GetError();
    canvas_ = std::make_unique<SurfaceCanvas>(surface_.get(), *text_);
    canvas_->fill(kBlack, nullptr);
  }
  // The fonts close before SDL_ttf stops.
  void TearDown() override {
    canvas_.reset();
    text_.reset();
    TTF_Quit();
  }

  Rgb at(const SurfaceCanvas& canvas, int x, int y) const {
    SDL_Surface* s = canvas.surface();
    const auto* row = static_cast<const Uint8*>(s->pixels) + y * s->pitch;
    Rgb c;
    SDL_GetRGB(reinterpret_cast<const Uint32*>(row)[x], s->format, &c.r, &c.g, &c.b);
    return c;
  }
  static bool whiteish(Rgb c) { return c.r >= 200 && c.g >= 200 && c.b >= 200; }
  int count(const SurfaceCanvas& canvas, SDL_Rect box, bool (*predicate)(Rgb)) const {
    int n = 0;
    for (int y = box.y; y < box.y + box.h; ++y) {
      for (int x = box.x; x < box.x + box.w; ++x) n += predicate(at(canvas, x, y)) ? 1 : 0;
    }
    return n;
  }

  std::unique_ptr<TextRenderer> text_;
  Owned<SDL_Surface, SDL_FreeSurface> surface_;
  std::unique_ptr<SurfaceCanvas> canvas_;
};

bool notBlack(Rgb c) {
  return !(c == kBlack);
}

TEST_F(SurfaceCanvasTest, FillsTheWholeSurfaceOrARectangle) {
  SurfaceCanvas& canvas = *canvas_;
  EXPECT_EQ(count(canvas, {0, 0, 640, 120}, notBlack), 0);
  canvas.line(0, 100, 639, 100, kWhite);
  canvas.circle(300, 60, 4, kYellow);
  canvas.fill(kBlack, nullptr);
  EXPECT_EQ(count(canvas, {0, 0, 640, 120}, notBlack), 0);
  const Rect area{10, 20, 30, 5};
  canvas.fill(kRed, &area);
  EXPECT_EQ(count(canvas, {10, 20, 30, 5}, [](Rgb c) { return c == kRed; }), 150);
  EXPECT_EQ(count(canvas, {0, 0, 640, 120}, notBlack), 150);
}

TEST_F(SurfaceCanvasTest, CirclesAreOutlinesInTheirColour) {
  SurfaceCanvas& canvas = *canvas_;
  canvas.circle(50.2f, 60.4f, 4, kYellow);
  canvas.circle(80, 60, 2, kWhite);
  EXPECT_EQ(at(canvas, 54, 60), kYellow);
  EXPECT_EQ(at(canvas, 46, 60), kYellow);
  EXPECT_EQ(at(canvas, 50, 64), kYellow);
  EXPECT_EQ(at(canvas, 50, 60), kBlack);
  EXPECT_EQ(at(canvas, 52, 60), kBlack);
  EXPECT_EQ(at(canvas, 82, 60), kWhite);
  EXPECT_EQ(at(canvas, 80, 60), kBlack);
  // Everything drawn near the first circle is its yellow ring.
  for (int y = 50; y < 70; ++y) {
    for (int x = 40; x < 60; ++x) {
      if (at(canvas, x, y) == kBlack) continue;
      EXPECT_EQ(at(canvas, x, y), kYellow) << x << "," << y;
      EXPECT_NEAR(std::hypot(x - 50, y - 60), 4.0, 0.5) << x << "," << y;
    }
  }
  // Partly off the surface: drawn where it can be, and nothing breaks.
  canvas.circle(1, 118, 4, kYellow);
  EXPECT_EQ(at(canvas, 5, 118), kYellow);
}

TEST_F(SurfaceCanvasTest, LinesCoverBothEndsAndNothingBeyond) {
  SurfaceCanvas& canvas = *canvas_;
  canvas.line(440, 30, 540, 30, kRed);
  EXPECT_EQ(count(canvas, {440, 30, 101, 1}, [](Rgb c) { return c == kRed; }), 101);
  EXPECT_EQ(at(canvas, 439, 30), kBlack);
  EXPECT_EQ(at(canvas, 541, 30), kBlack);
  canvas.line(-50, -50, 700, 700, kWhite);  // clipped to the surface
  EXPECT_EQ(at(canvas, 100, 100), kWhite);
}

TEST_F(SurfaceCanvasTest, TextHangsFromItsTopLeftCornerOnATransparentBackground) {
  SurfaceCanvas& canvas = *canvas_;
  for (int y = 60; y < 80; ++y) canvas.line(490, static_cast<float>(y), 560, y, kRed);
  canvas.text(500, 60, "100", kWhite, nullptr);
  const int ink = count(canvas, {500, 60, 40, 20}, whiteish);
  EXPECT_GE(ink, 15);
  // Nothing above or left of the corner, and the red between the glyphs shows through.
  EXPECT_EQ(count(canvas, {490, 60, 10, 20}, whiteish), 0);
  EXPECT_EQ(count(canvas, {490, 50, 70, 10}, notBlack), 0);
  EXPECT_GT(count(canvas, {500, 60, 40, 20}, [](Rgb c) { return c == kRed; }), 100);
}

TEST_F(SurfaceCanvasTest, StatusLabelIsOpaqueAndCutAtItsEdges) {
  SurfaceCanvas& canvas = *canvas_;
  const SDL_Rect label{kStatusLabel.x, kStatusLabel.y, kStatusLabel.width, kStatusLabel.height};
  auto s = std::make_unique<SolverState>();
  s->terminalCount = 7;
  s->bestLength = kNoBestLength;
  Scene scene;
  scene.repaint(*s, canvas, 640);
  EXPECT_GE(count(canvas, label, whiteish), 100);

  // Far too long a text stops at the label's right edge.
  canvas.fill(kBlack, nullptr);
  canvas.text(10, 6, std::string(200, 'W'), kWhite, &kStatusLabel);
  EXPECT_GE(count(canvas, {300, 0, 109, 25}, whiteish), 50);
  EXPECT_EQ(count(canvas, {409, 0, 231, 120}, notBlack), 0);
  EXPECT_EQ(count(canvas, {0, 25, 640, 95}, notBlack), 0);
}

TEST_F(SurfaceCanvasTest, TheLabelLiesBeneathTheTreeAndOutlivesAClear) {
  SurfaceCanvas& canvas = *canvas_;
  const SDL_Rect label{kStatusLabel.x, kStatusLabel.y, kStatusLabel.width, kStatusLabel.height};
  auto s = std::make_unique<SolverState>();
  s->terminalCount = 4;
  s->bestVertexCount = 1;
  s->bestX[0] = 300, s->bestY[0] = 12;
  Scene scene;
  scene.repaint(*s, canvas, 640);
  EXPECT_EQ(at(canvas, 304, 12), kYellow);
  scene.clear(canvas);
  EXPECT_EQ(at(canvas, 304, 12), kBlack);
  EXPECT_GE(count(canvas, label, whiteish), 20) << "the label lost its text";
}

TEST_F(SurfaceCanvasTest, ALongStatusLineFitsTheLabel) {
  // 49 terminals, the most Steiner points a best tree keeps, a length of 15 significant digits.
  const auto state = std::make_unique<SolverState>();
  SolverState& s = *state;
  s.terminalCount = 49;
  s.bestVertexCount = 96;
  s.roundCounter = 50;
  s.bestLength = 9876.54321098765;
  s.improvementCount = 99;
  const std::string line = statusText(s);
  ASSERT_EQ(line, "N=49 M=47 N+M=96 counter=50 d=9876.54321098765 counter2=99");
  EXPECT_LE(text_->measure(line).width + kStatusTextInset, kStatusLabel.width);
  EXPECT_LE(text_->measure(line).height, kStatusLabel.height);
}

// The scene through the scaled canvas: at one device pixel to the scene's exactly what the surface
// shows of it drawn directly; at 2 and 1.5 each of the scene's pixels on the device pixels it
// covers, lines and outlines max(1, round(s)) thick, text s times its size.
TEST_F(SurfaceCanvasTest, TheScaledSceneCoversTheDevicePixelsOfEachOfItsPixels) {
  const auto state = std::make_unique<SolverState>();
  SolverState& s = *state;
  s.terminalCount = 1;
  s.bestVertexCount = 2;
  s.bestX[0] = 100, s.bestY[0] = 50, s.bestKind[0] = 0;
  s.bestX[1] = 150, s.bestY[1] = 50, s.bestKind[1] = 1;
  s.bestEdgeFrom[0] = 0, s.bestEdgeTo[0] = 1;
  // On the test's surface, through a canvas made for the scale.
  const auto draw = [&](double scale) {
    SurfaceCanvas device(surface_.get(), *text_, scale);
    device.fill(kBlack, nullptr);
    ScaledCanvas scaled(scale);
    scaled.drawOn(device);
    Scene().repaint(s, scaled, logicalSize({640, 120}, scale).width);
  };
  const auto red = [](Rgb c) { return c == kRed; };

  Owned<SDL_Surface, SDL_FreeSurface> direct(
      SDL_CreateRGBSurfaceWithFormat(0, 640, 120, 32, SDL_PIXELFORMAT_RGB888));
  SurfaceCanvas plain(direct.get(), *text_);
  plain.fill(kBlack, nullptr);
  Scene().repaint(s, plain, 640);
  draw(1);
  for (int y = 0; y < 120; ++y) {
    ASSERT_EQ(
        std::memcmp(static_cast<const Uint8*>(direct->pixels) + y * direct->pitch,
                    static_cast<const Uint8*>(surface_->pixels) + y * surface_->pitch, 640 * 4),
        0)
        << "row " << y;
  }

  // Two: the bar from 2 * (320 - 200) to 2 * (320 - 100) + 1 on rows 60 and 61, ticks two wide.
  draw(2);
  EXPECT_EQ(count(*canvas_, {240, 60, 202, 2}, red), 404);
  EXPECT_EQ(count(*canvas_, {0, 62, 640, 1}, red), 0);
  EXPECT_EQ(count(*canvas_, {0, 59, 640, 1}, red), 4);
  EXPECT_EQ(at(*canvas_, 239, 60), kBlack);
  EXPECT_EQ(at(*canvas_, 442, 60), kBlack);
  // The terminal's ring around the middle of the scene's pixel (100, 50), 8 out and 2 thick;
  // the Steiner point's 4 out.
  EXPECT_EQ(at(*canvas_, 201 - 9, 101), kBlack);
  EXPECT_EQ(at(*canvas_, 201 - 8, 101), kYellow);
  EXPECT_EQ(at(*canvas_, 201 - 7, 101), kYellow);
  EXPECT_EQ(at(*canvas_, 201 - 6, 101), kBlack);
  // Around it, the ring's pixels are those whose centres lie from 8 - 2 + 1/2 to 8 + 1/2 from the
  // centre pixel (squared distances times four), but where the white edge runs over it.
  for (int y = 101 - 10; y <= 101 + 10; ++y) {
    for (int x = 201 - 10; x <= 201 + 10; ++x) {
      const int d = 4 * ((x - 201) * (x - 201) + (y - 101) * (y - 101));
      if (at(*canvas_, x, y) == kWhite) continue;
      EXPECT_EQ(at(*canvas_, x, y) == kYellow, d >= 13 * 13 && d <= 17 * 17) << x << "," << y;
    }
  }
  EXPECT_EQ(at(*canvas_, 301, 101 - 4), kWhite);
  EXPECT_EQ(at(*canvas_, 301, 101 - 5), kBlack);
  EXPECT_NEAR(text_->measure("100", 2).height, 2 * text_->measure("100").height, 2);

  // One and a half: lines two thick from the device pixel the scene's pixel starts on.
  draw(1.5);
  EXPECT_EQ(count(*canvas_, {340, 45, 152, 2}, red), 304);
  EXPECT_EQ(count(*canvas_, {0, 47, 640, 1}, red), 0);
  EXPECT_EQ(count(*canvas_, {0, 44, 640, 1}, red), 4);
}

}  // namespace
}  // namespace drevanti::linux_shared
