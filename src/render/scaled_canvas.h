// The scene's canvas on a screen of scale device pixels to one of the scene's (a 96th of an inch
// as the system reckons it): the scene draws in its own pixels, and this puts each of them on
// the device pixels it covers, drawn sharp at the device's density. The scene's pixel (x, y)
// covers the device's [x * s, (x + 1) * s) x [y * s, (y + 1) * s); lines and outlines are
// max(1, round(s)) device pixels thick, a line through the scene's pixel y on the device's rows
// floor(y * s) and on; circles lie around the middle of their centre's pixel; text is s times its
// size.
#pragma once

#include "render/canvas.h"

namespace drevanti {

class ScaledCanvas final : public Canvas {
 public:
  explicit ScaledCanvas(double scale);

  // The device's canvas the next drawing goes to (a backend may hand out another each frame).
  void drawOn(Canvas& device);
  double scale() const { return scale_; }

  void fill(Rgb colour) override;
  void fillRect(const Rect& area, Rgb colour) override;
  void line(float x1, float y1, float x2, float y2, Rgb colour) override;
  void circle(float x, float y, float radius, Rgb colour) override;
  void text(float x, float y, std::string_view utf8, Rgb colour) override;
  void clippedText(const Rect& clip, float x, float y, std::string_view utf8, Rgb colour) override;
  int textHeight(std::string_view utf8) override;
  // The scene draws at one density; the device's is this canvas's own.
  void setDensity(int, double) override {}

 private:
  // The device pixel a thick line's square starts on, for the scene's coordinate v.
  float stroke(float v) const;
  // The centre of the scene's pixel v on the device.
  float centre(float v) const;
  Rect device(const Rect& area) const;

  double scale_;
  int lineWidth_;
  Canvas* device_ = nullptr;
};

}  // namespace drevanti
