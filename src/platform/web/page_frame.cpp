#include "page_frame.h"

#include "page_bridge.h"

namespace drevanti::web {

PageFrame::PageFrame(ScreenSize size) {
  setCanvasSize(size, lineWidth_, textScale_);
}

bool PageFrame::present() {
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

void PageFrame::resize(ScreenSize size) {
  drawings_.clear();
  setCanvasSize(size, lineWidth_, textScale_);
}

void PageFrame::fill(Rgb colour) {
  // Everything before is covered: the list starts again.
  drawings_.clear();
  drawings_.push_back({.kind = Drawing::Kind::Fill, .colour = colour});
}

void PageFrame::fillRect(const Rect& area, Rgb colour) {
  drawings_.push_back({.kind = Drawing::Kind::Rect, .colour = colour, .area = area});
}

void PageFrame::line(float x1, float y1, float x2, float y2, Rgb colour) {
  drawings_.push_back(
      {.kind = Drawing::Kind::Line, .colour = colour, .x1 = x1, .y1 = y1, .x2 = x2, .y2 = y2});
}

void PageFrame::circle(float x, float y, float radius, Rgb colour) {
  drawings_.push_back(
      {.kind = Drawing::Kind::Circle, .colour = colour, .x1 = x, .y1 = y, .x2 = radius});
}

void PageFrame::text(float x, float y, std::string_view utf8, Rgb colour) {
  drawings_.push_back(
      {.kind = Drawing::Kind::Text, .colour = colour, .x1 = x, .y1 = y, .text = std::string(utf8)});
}

void PageFrame::clippedText(const Rect& clip, float x, float y, std::string_view utf8, Rgb colour) {
  drawings_.push_back({.kind = Drawing::Kind::ClippedText,
                       .colour = colour,
                       .x1 = x,
                       .y1 = y,
                       .area = clip,
                       .text = std::string(utf8)});
}

int PageFrame::textHeight(std::string_view utf8) {
  return web::textHeight(utf8);
}

void PageFrame::setDensity(int lineWidth, double textScale) {
  // Told before every frame; the context keeps it, and is told again only when it changes.
  if (lineWidth == lineWidth_ && textScale == textScale_) return;
  lineWidth_ = lineWidth;
  textScale_ = textScale;
  web::setDensity(lineWidth, textScale);
}

}  // namespace drevanti::web
