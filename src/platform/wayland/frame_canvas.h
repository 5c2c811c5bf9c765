// The canvas a demonstration draws its frames on: the canvas of whichever buffer is being drawn,
// which changes from frame to frame, behind one reference that stays. It notes whether anything
// was drawn since the last present, so that a present of nothing new (a refresh) can show the
// frame last shown again instead of a buffer that holds an older one.
#pragma once

#include <string_view>
#include <utility>

#include "render/canvas.h"

namespace drevanti::wayland_platform {

class FrameCanvas final : public Canvas {
 public:
  void drawOn(Canvas& target) { target_ = &target; }
  // Whether anything was drawn since the last call.
  bool takeDrawn() { return std::exchange(drawn_, false); }

  void fill(Rgb colour, const Rect* area) override { drawing().fill(colour, area); }
  void line(float x1, float y1, float x2, float y2, Rgb colour) override {
    drawing().line(x1, y1, x2, y2, colour);
  }
  void circle(float x, float y, float radius, Rgb colour) override {
    drawing().circle(x, y, radius, colour);
  }
  void text(float x, float y, std::string_view utf8, Rgb colour, const Rect* clip) override {
    drawing().text(x, y, utf8, colour, clip);
  }
  int textHeight(std::string_view utf8) override { return target_->textHeight(utf8); }

 private:
  Canvas& drawing() {
    drawn_ = true;
    return *target_;
  }

  Canvas* target_ = nullptr;
  bool drawn_ = false;
};

}  // namespace drevanti::wayland_platform
