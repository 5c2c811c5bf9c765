// The scene's canvas on a screen of scale device pixels to one of the scene's (a 96th of an inch
// as the system reckons it): the scene draws in its own pixels, and this puts each of them on
// the device pixels it covers, drawn sharp at the device's density. The scene's pixel (x, y)
// covers the device's [x * s, (x + 1) * s) x [y * s, (y + 1) * s); lines and outlines are
// max(1, round(s)) device pixels thick, a line through the scene's pixel y on the device's rows
// floor(y * s) and on; circles lie around the middle of their centre's pixel; text is s times its
// size, as the device's canvas draws it (made for the scale by its frames).
#pragma once

#include "render/canvas.h"

namespace drevanti {

class ScaledCanvas final : public Canvas {
 public:
  explicit ScaledCanvas(double scale);

  // The device's canvas the next drawing goes to (a backend may hand out another each frame).
  void drawOn(Canvas& device) { device_ = &device; }
  double scale() const { return scale_; }

  void fill(Rgb colour, const Rect* area) override;
  // A thick line is the device's thin one with each of its pixels grown to a square lineWidth
  // pixels wide, to the right and below: the thin line drawn once for each pixel of the square.
  void line(float x1, float y1, float x2, float y2, Rgb colour) override;
  // A thick outline is grown inwards from the radius (ring).
  void circle(float x, float y, float radius, Rgb colour) override;
  void text(float x, float y, std::string_view utf8, Rgb colour, const Rect* clip) override;
  int textHeight(std::string_view utf8) override;

 private:
  // The device pixel a thick line's square starts on, for the scene's coordinate v.
  float stroke(float v) const;
  // The centre of the scene's pixel v on the device.
  float centre(float v) const;
  Rect device(const Rect& area) const;
  // The outline lineWidth_ device pixels thick inside the circle of the given radius around the
  // device pixel (cx, cy): the pixels whose centres lie from radius - lineWidth_ + 1/2 to
  // radius + 1/2 from it, filled row by row.
  void ring(int cx, int cy, int radius, Rgb colour);

  double scale_;
  int lineWidth_;
  Canvas* device_ = nullptr;
};

}  // namespace drevanti
