// The drawing primitives on an SDL surface: the window's own (the saver draws straight into it and
// shows it as a whole frame) or any other of 2, 3 or 4 bytes a pixel. Needs no display.
#pragma once

#include <SDL.h>

#include <string_view>

#include "render/canvas.h"
#include "text_renderer.h"

namespace drevanti::linux_shared {

class SurfaceCanvas final : public Canvas {
 public:
  // Draws on target, which it does not own and which must outlive it, its text textScale times
  // the renderer's size.
  SurfaceCanvas(SDL_Surface* target, TextRenderer& text, double textScale = 1);

  void fill(Rgb colour, const Rect* area) override;
  void line(float x1, float y1, float x2, float y2, Rgb colour) override;
  void circle(float x, float y, float radius, Rgb colour) override;
  void text(float x, float y, std::string_view utf8, Rgb colour, const Rect* clip) override;
  int textHeight(std::string_view utf8) override;

  SDL_Surface* surface() const { return surface_; }

 private:
  Uint32 map(Rgb colour) const;
  void plot(int x, int y, Uint32 pixel);

  SDL_Surface* surface_;
  TextRenderer& text_;
  double textScale_;
};

}  // namespace drevanti::linux_shared
