#include "page_frame.h"

#include "page_bridge.h"

namespace drevanti::web {

PageFrame::PageFrame(ScreenSize size, double scale) {
  setCanvasSize(size, scale);
}

bool PageFrame::present(const std::vector<Rect>&) {
  for (const Drawing& d : drawings_) {
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
  return true;
}

void PageFrame::resize(ScreenSize size, double scale) {
  drawings_.clear();
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
