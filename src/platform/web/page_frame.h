// The demonstration's frames on the page's canvas. What the scene draws is kept as a list and put
// on the canvas only at present, in one go between two yields to the browser, so that the page
// shows whole frames only, each for as long as the pacing says; an exposure shows the list again.
// The canvas keeps the frame shown: present draws again only where the list differs from that
// frame's (most frames of an instance change the status line alone), and there only what reaches
// that part, so that the browser has that much less to draw and to put on the screen.
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
    friend bool operator==(const Drawing&, const Drawing&) = default;
  };

  void fill(Rgb colour, const Rect* area) override;
  void line(float x1, float y1, float x2, float y2, Rgb colour) override;
  void circle(float x, float y, float radius, Rgb colour) override;
  void text(float x, float y, std::string_view utf8, Rgb colour, const Rect* clip) override;
  int textHeight(std::string_view utf8) override;

  // The part of the canvas where the list differs from the frame shown (empty when none does).
  Rect changedArea() const;
  Rect bounds(const Drawing& drawing) const;

  std::vector<Drawing> drawings_;
  // What the canvas shows; empty when it shows nothing the list can be compared with.
  std::vector<Drawing> shown_;
  ScreenSize size_;
  // Every changed frame drawn whole (the page's wholeFrames), the reference the drawing in part
  // must equal.
  bool wholeFrames_;
};

}  // namespace drevanti::web
