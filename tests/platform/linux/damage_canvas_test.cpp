#include "render/damage_canvas.h"

#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <memory>
#include <vector>

#include "app/improvement_rounds.h"
#include "app/instance_generation.h"
#include "owned.h"
#include "render/scaled_canvas.h"
#include "render/scene.h"
#include "surface_canvas.h"
#include "test_host.h"

namespace drevanti::linux_shared {
namespace {

using Surface = Owned<SDL_Surface, SDL_FreeSurface>;

Surface blank(ScreenSize size) {
  return Surface(
      SDL_CreateRGBSurfaceWithFormat(0, size.width, size.height, 32, SDL_PIXELFORMAT_RGB888));
}

// The first row where the two differ, or -1.
int firstDifferentRow(const SDL_Surface* a, const SDL_Surface* b) {
  for (int y = 0; y < a->h; ++y) {
    if (std::memcmp(static_cast<const Uint8*>(a->pixels) + y * a->pitch,
                    static_cast<const Uint8*>(b->pixels) + y * b->pitch, a->w * 4) != 0) {
      return y;
    }
  }
  return -1;
}

struct Case {
  double scale;
  // Buffers taking turns: each frame is drawn on the one that holds the frame this many before.
  int buffers;
};

class DamageCanvasTest : public ::testing::TestWithParam<Case> {
 protected:
  void SetUp() override { ASSERT_EQ(TTF_Init(), 0) << TTF_GetError(); }
  void TearDown() override { TTF_Quit(); }
};

// The solver's frames over several instances (new trees, improvements, the status line), each
// drawn whole on one surface and, through the damage canvas, on buffers that keep their last
// frame; the rectangles each present names are copied to a screen. Buffer and screen match the
// whole drawing in every pixel of every frame, while far less than every frame's area is sent.
TEST_P(DamageCanvasTest, PartialFramesAreTheWholeFramesPixelForPixel) {
  const auto [scale, buffers] = GetParam();
  const ScreenSize device{720, 480};
  const ScreenSize logical = logicalSize(device, scale);
  TextRenderer text(kSaverTextPixels);

  Surface whole = blank(device), screen = blank(device);
  SurfaceCanvas wholeCanvas(whole.get(), text, scale);
  std::array<Surface, 2> buffer{blank(device), blank(device)};
  std::vector<std::unique_ptr<SurfaceCanvas>> bufferCanvas;
  for (const Surface& b : buffer) {
    bufferCanvas.push_back(std::make_unique<SurfaceCanvas>(b.get(), text, scale));
  }
  ScaledCanvas scaledWhole(scale), scaledPartial(scale);
  scaledWhole.drawOn(wholeCanvas);
  DamageCanvas damage(device);
  scaledPartial.drawOn(damage);
  Scene wholeScene, partialScene;

  long frames = 0, sentPixels = 0;
  const auto drawFrame = [&](auto draw) {
    const int slot = static_cast<int>(frames % buffers);
    damage.drawOn(*bufferCanvas[slot], frames < buffers ? 0 : buffers);
    wholeCanvas.fill(kBlack, nullptr);
    draw(scaledWhole, wholeScene);
    draw(scaledPartial, partialScene);
    for (const Rect& r : damage.present()) {
      sentPixels += static_cast<long>(r.width) * r.height;
      SDL_Rect box{r.x, r.y, r.width, r.height};
      SDL_BlitSurface(buffer[slot].get(), &box, screen.get(), &box);
    }
    ASSERT_EQ(firstDifferentRow(whole.get(), buffer[slot].get()), -1) << "frame " << frames;
    ASSERT_EQ(firstDifferentRow(whole.get(), screen.get()), -1) << "frame " << frames;
    ++frames;
  };

  test_support::TestHost host(logical, 7);
  Solver solver(host);
  host.onRepaint = [&] {
    drawFrame(
        [&](Canvas& canvas, Scene& scene) { scene.repaint(solver.s, canvas, logical.width); });
  };
  drawFrame([](Canvas& canvas, Scene& scene) { scene.clear(canvas); });
  for (int instance = 0; instance < 4; ++instance) {
    ASSERT_TRUE(generateInstance(solver));
    runRounds(solver);
    ASSERT_FALSE(HasFatalFailure());
  }
  // A frame shown again (an exposure) is sent whole.
  const std::vector<Rect> again = damage.present();
  ASSERT_EQ(again.size(), 1U);
  EXPECT_EQ(again.front(), (Rect{0, 0, device.width, device.height}));

  ASSERT_GT(frames, 20);
  EXPECT_LT(sentPixels, frames * device.width * device.height / 2);
}

INSTANTIATE_TEST_SUITE_P(ScalesAndBuffers, DamageCanvasTest,
                         ::testing::Values(Case{1, 1}, Case{1, 2}, Case{2, 1}, Case{1.5, 2}));

}  // namespace
}  // namespace drevanti::linux_shared
