// A canvas that writes the saver's scene as an SVG picture, element by element in drawing order,
// in the scene's own pixels, which SVG viewers scale sharp themselves.
#pragma once

#include <string>

#include "render/canvas.h"

namespace drevanti::tool {

class SvgCanvas final : public Canvas {
 public:
  SvgCanvas(int width, int height) : width_(width), height_(height) {}

  // Filling the whole picture starts it anew.
  void fill(Rgb colour, const Rect* area) override;
  void line(float x1, float y1, float x2, float y2, Rgb colour) override;
  void circle(float x, float y, float radius, Rgb colour) override;
  void text(float x, float y, std::string_view utf8, Rgb colour, const Rect* clip) override;
  // The font size: SVG viewers choose the face, so the line is as high as the size says.
  int textHeight(std::string_view utf8) override;

  std::string document() const;

 private:
  int width_, height_;
  std::string body_;
};

}  // namespace drevanti::tool
