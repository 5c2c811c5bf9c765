// The demonstration's frames on the page's canvas. What the scene draws is kept as a list and put
// on the canvas only at present, in one go between two yields to the browser, so that the page
// shows whole frames only, each for as long as the pacing says; an exposure shows the list again.
#pragma once

#include <string>
#include <vector>

#include "app/backend.h"

namespace drevanti::web {

class PageFrame final : public FrameTarget, private Canvas {
 public:
  // Frames of the given size, their text scale times the page's font size.
  PageFrame(ScreenSize size, double scale);

  Canvas& canvas() override { return *this; }
  bool present(const std::vector<Rect>& changed) override;
  void resize(ScreenSize size, double scale) override;

 private:
  struct Drawing {
    enum class Kind { Fill, Rect, Line, Circle, Text, ClippedText } kind;
    Rgb colour;
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // Circle: x2 is the radius
    Rect area;                             // Rect; ClippedText: the clip
    std::string text;
  };

  void fill(Rgb colour, const Rect* area) override;
  void line(float x1, float y1, float x2, float y2, Rgb colour) override;
  void circle(float x, float y, float radius, Rgb colour) override;
  void text(float x, float y, std::string_view utf8, Rgb colour, const Rect* clip) override;
  int textHeight(std::string_view utf8) override;

  std::vector<Drawing> drawings_;
};

}  // namespace drevanti::web
