// A window's device canvas that clears and sends only what a frame changed. The window is cut
// into square tiles; each primitive marks the tiles it may draw on (its pixels' bounds, lines
// and text with a margin). A fill of the whole canvas in the colour it already has behind the
// marks clears only the tiles the pixels it holds have marked, and a present sends the tiles the
// frame shown before and this one marked. Pixels outside every mark are the background in both,
// so the picture is the same as a whole clear and a whole send, pixel for pixel.
#pragma once

#include <array>
#include <optional>
#include <string_view>
#include <vector>

#include "render/canvas.h"
#include "render/tile_grid.h"
#include "state/screen_size.h"

namespace drevanti {

class DamageCanvas final : public Canvas {
 public:
  // For a window of the given size in device pixels.
  explicit DamageCanvas(ScreenSize size);

  // The device canvas the next drawing goes to, which holds the frame drawn age presents ago
  // (1 the last one, 2 the one before: two buffers taking turns), or nothing known when age is 0.
  void drawOn(Canvas& device, int age);
  // Ends the frame: the rectangles where it differs from the frame presented before, all of the
  // window when nothing was drawn since (the frame shown again, as after an exposure).
  std::vector<Rect> present();

  void fill(Rgb colour, const Rect* area) override;
  void line(float x1, float y1, float x2, float y2, Rgb colour) override;
  void circle(float x, float y, float radius, Rgb colour) override;
  void text(float x, float y, std::string_view utf8, Rgb colour, const Rect* clip) override;
  int textHeight(std::string_view utf8) override;

 private:
  // What a canvas's pixels are: the background colour outside the marked tiles (a whole fill),
  // or unknown.
  struct Marks {
    TileGrid tiles;
    std::optional<Rgb> background;
  };
  // The frames presented last, newest first, as far back as a canvas's age may reach.
  static constexpr int kFramesKept = 2;

  // Before the frame's first drawing: what the canvas holds.
  void begin();
  // Marks the tiles that the pixels from (left, top) to (right, bottom), both included, lie on.
  void mark(int left, int top, int right, int bottom) { now_.tiles.mark(left, top, right, bottom); }
  void markAll() { mark(0, 0, size_.width - 1, size_.height - 1); }

  ScreenSize size_;
  Canvas* device_ = nullptr;
  int age_ = 0;
  bool drawing_ = false;
  // What the canvas drawn on holds, as the frame goes.
  Marks now_;
  std::array<std::optional<Marks>, kFramesKept> shown_;
};

}  // namespace drevanti
