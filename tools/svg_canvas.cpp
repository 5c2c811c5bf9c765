#include "svg_canvas.h"

#include <cstdio>

#include "render/decimal_text.h"

namespace drevanti::tool {

namespace {

constexpr float kFontSize = 13;
constexpr float kAscent = 12;

std::string colour(Rgb c) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "#%02x%02x%02x", c.r, c.g, c.b);
  return buffer;
}

std::string escaped(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string num(float v) {
  return shortestDecimal(static_cast<double>(v));
}

// (x, y) is the text's top-left corner; SVG places text by its baseline, one ascent lower.
std::string textElement(float x, float y, std::string_view utf8, Rgb fill) {
  return "<text x=\"" + num(x) + "\" y=\"" + num(y + kAscent) + "\" fill=\"" + colour(fill) +
         "\">" + escaped(utf8) + "</text>\n";
}

}  // namespace

void SvgCanvas::line(float x1, float y1, float x2, float y2, Rgb c) {
  body_ += "<line x1=\"" + num(x1) + "\" y1=\"" + num(y1) + "\" x2=\"" + num(x2) + "\" y2=\"" +
           num(y2) + "\" stroke=\"" + colour(c) + "\"/>\n";
}

void SvgCanvas::circle(float x, float y, float radius, Rgb c) {
  body_ += "<circle cx=\"" + num(x) + "\" cy=\"" + num(y) + "\" r=\"" + num(radius) +
           "\" fill=\"none\" stroke=\"" + colour(c) + "\"/>\n";
}

void SvgCanvas::text(float x, float y, std::string_view utf8, Rgb c, const Rect* clip) {
  if (!clip) {
    body_ += textElement(x, y, utf8, c);
    return;
  }
  // A nested viewport cuts what lies outside it; its own coordinates start at its corner.
  body_ += "<svg x=\"" + std::to_string(clip->x) + "\" y=\"" + std::to_string(clip->y) +
           "\" width=\"" + std::to_string(clip->width) + "\" height=\"" +
           std::to_string(clip->height) + "\" overflow=\"hidden\">" +
           textElement(x - static_cast<float>(clip->x), y - static_cast<float>(clip->y), utf8, c) +
           "</svg>\n";
}

void SvgCanvas::fill(Rgb c, const Rect* area) {
  if (!area) {
    body_ = "<rect width=\"100%\" height=\"100%\" fill=\"" + colour(c) + "\"/>\n";
    return;
  }
  body_ += "<rect x=\"" + std::to_string(area->x) + "\" y=\"" + std::to_string(area->y) +
           "\" width=\"" + std::to_string(area->width) + "\" height=\"" +
           std::to_string(area->height) + "\" fill=\"" + colour(c) + "\"/>\n";
}

int SvgCanvas::textHeight(std::string_view) {
  return static_cast<int>(kFontSize);
}

std::string SvgCanvas::document() const {
  const std::string w = std::to_string(width_), h = std::to_string(height_);
  return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + w + "\" height=\"" + h +
         "\" viewBox=\"0 0 " + w + " " + h + "\" font-family=\"sans-serif\" font-size=\"" +
         num(kFontSize) + "\" stroke-width=\"1\">\n" + body_ + "</svg>\n";
}

}  // namespace drevanti::tool
