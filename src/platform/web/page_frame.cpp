#include "page_frame.h"

#include <algorithm>
#include <cmath>

#include "page_bridge.h"

namespace drevanti::web {

namespace {

Rect united(const Rect& a, const Rect& b) {
  if (a.width <= 0 || a.height <= 0) return b;
  const int left = std::min(a.x, b.x), top = std::min(a.y, b.y);
  return {left, top, std::max(a.x + a.width, b.x + b.width) - left,
          std::max(a.y + a.height, b.y + b.height) - top};
}

bool overlap(const Rect& a, const Rect& b) {
  return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

Rect around(float x1, float y1, float x2, float y2, float reach) {
  const int left = static_cast<int>(std::floor(std::min(x1, x2) - reach));
  const int top = static_cast<int>(std::floor(std::min(y1, y2) - reach));
  return {left, top, static_cast<int>(std::ceil(std::max(x1, x2) + reach)) - left,
          static_cast<int>(std::ceil(std::max(y1, y2) + reach)) - top};
}

}  // namespace

PageFrame::PageFrame(ScreenSize size, double scale) : size_(size), wholeFrames_(wholeFrames()) {
  setCanvasSize(size, scale);
}

Rect PageFrame::bounds(const Drawing& d) const {
  // Beyond the pixels a drawing covers (one wide, to the right of and below its rounded points;
  // square caps), its smoothed edge may tint one more.
  const float reach = 3;
  switch (d.kind) {
    case Drawing::Kind::Rect:
    case Drawing::Kind::ClippedText:
      return d.area;
    case Drawing::Kind::Line:
      return around(d.x1, d.y1, d.x2, d.y2, reach);
    case Drawing::Kind::Circle:
      return around(d.x1, d.y1, d.x1, d.y1, d.x2 + reach);
    case Drawing::Kind::Fill:
    case Drawing::Kind::Text:  // as wide as the face makes it
      break;
  }
  return {0, 0, size_.width, size_.height};
}

Rect PageFrame::changedArea() const {
  if (shown_.empty()) return {0, 0, size_.width, size_.height};
  if (wholeFrames_) return drawings_ == shown_ ? Rect{} : Rect{0, 0, size_.width, size_.height};
  // The drawings the two lists begin and end with alike draw alike outside what lies between
  // (a tree of more or fewer vertices moves the scale bar's place in the list, not on the canvas).
  const auto [drawn, was] =
      std::mismatch(drawings_.begin(), drawings_.end(), shown_.begin(), shown_.end());
  const auto [drawnEnd, wasEnd] =
      std::mismatch(drawings_.rbegin(), std::make_reverse_iterator(drawn), shown_.rbegin(),
                    std::make_reverse_iterator(was));
  Rect changed;
  for (auto d = drawn; d != drawnEnd.base(); ++d) changed = united(changed, bounds(*d));
  for (auto d = was; d != wasEnd.base(); ++d) changed = united(changed, bounds(*d));
  return changed;
}

bool PageFrame::present(const std::vector<Rect>&) {
  // The page finds what changed itself, by the drawing lists: its canvas keeps no age.
  const Rect changed = changedArea();
  shown_ = drawings_;
  if (changed.width <= 0 || changed.height <= 0) return true;
  // Drawn again in whole inside the changed part, the list gives there what it gives on a clear
  // canvas; outside it, the frame shown is the list's already.
  beginClip(changed);
  for (const Drawing& d : drawings_) {
    // What lies wholly outside the changed part cannot change a pixel in it.
    if (!overlap(bounds(d), changed)) continue;
    switch (d.kind) {
      case Drawing::Kind::Fill:
        drawFill(d.colour);
        break;
      case Drawing::Kind::Rect:
        drawRect(d.area, d.colour);
        break;
      case Drawing::Kind::Line:
        drawLine(d.x1, d.y1, d.x2, d.y2, d.colour);
        break;
      case Drawing::Kind::Circle:
        drawCircle(d.x1, d.y1, d.x2, d.colour);
        break;
      case Drawing::Kind::Text:
        drawText(d.x1, d.y1, d.text, d.colour, nullptr);
        break;
      case Drawing::Kind::ClippedText:
        drawText(d.x1, d.y1, d.text, d.colour, &d.area);
        break;
    }
  }
  endClip();
  return true;
}

void PageFrame::resize(ScreenSize size, double scale) {
  drawings_.clear();
  shown_.clear();
  size_ = size;
  setCanvasSize(size, scale);
}

void PageFrame::fill(Rgb colour, const Rect* area) {
  if (area) {
    drawings_.push_back({.kind = Drawing::Kind::Rect, .colour = colour, .area = *area});
    return;
  }
  // Everything before is covered: the list starts again.
  drawings_.clear();
  drawings_.push_back({.kind = Drawing::Kind::Fill, .colour = colour});
}

void PageFrame::line(float x1, float y1, float x2, float y2, Rgb colour) {
  drawings_.push_back(
      {.kind = Drawing::Kind::Line, .colour = colour, .x1 = x1, .y1 = y1, .x2 = x2, .y2 = y2});
}

void PageFrame::circle(float x, float y, float radius, Rgb colour) {
  drawings_.push_back(
      {.kind = Drawing::Kind::Circle, .colour = colour, .x1 = x, .y1 = y, .x2 = radius});
}

void PageFrame::text(float x, float y, std::string_view utf8, Rgb colour, const Rect* clip) {
  drawings_.push_back({.kind = clip ? Drawing::Kind::ClippedText : Drawing::Kind::Text,
                       .colour = colour,
                       .x1 = x,
                       .y1 = y,
                       .area = clip ? *clip : Rect{},
                       .text = std::string(utf8)});
}

int PageFrame::textHeight(std::string_view utf8) {
  return web::textHeight(utf8);
}

}  // namespace drevanti::web
