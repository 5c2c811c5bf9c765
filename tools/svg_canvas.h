// A canvas that writes the saver's scene as an SVG picture.
#pragma once

#include <string>

#include "render/canvas.h"

namespace drevanti::tool {

class SvgCanvas final : public Canvas {
 public:
  SvgCanvas(int width, int height) : width_(width), height_(height) {}

  void clear() override { body_.clear(); }
  void line(float x1, float y1, float x2, float y2, Rgb colour) override;
  void circle(float x, float y, float radius, Rgb colour) override;
  void text(float x, float y, std::string_view utf8, Rgb colour) override;
  void setStatus(std::string_view utf8, Rgb textColour, Rgb background) override;

  std::string document() const;

 private:
  int width_, height_;
  std::string body_;
  std::string status_;
};

}  // namespace drevanti::tool
