#include "render/scaled_canvas.h"

#include <algorithm>
#include <cmath>

namespace drevanti {

namespace {

int floorInt(double v) {
  return static_cast<int>(std::floor(v));
}

}  // namespace

ScaledCanvas::ScaledCanvas(double scale)
    : scale_(scale), lineWidth_(std::max(1, static_cast<int>(std::lround(scale)))) {}

void ScaledCanvas::drawOn(Canvas& device) {
  device_ = &device;
  device_->setDensity(lineWidth_, scale_);
}

// Both first find the scene's pixel the coordinate lies on, as a canvas of the scene's own
// pixels would (the nearest whole one).
float ScaledCanvas::centre(float v) const {
  return static_cast<float>((std::round(v) + 0.5) * scale_ - 0.5);
}

float ScaledCanvas::stroke(float v) const {
  return static_cast<float>(std::floor(std::round(v) * scale_));
}

Rect ScaledCanvas::device(const Rect& area) const {
  const int left = floorInt(area.x * scale_), top = floorInt(area.y * scale_);
  return {left, top, floorInt((area.x + area.width) * scale_) - left,
          floorInt((area.y + area.height) * scale_) - top};
}

void ScaledCanvas::fill(Rgb colour) {
  device_->fill(colour);
}

void ScaledCanvas::fillRect(const Rect& area, Rgb colour) {
  device_->fillRect(device(area), colour);
}

void ScaledCanvas::line(float x1, float y1, float x2, float y2, Rgb colour) {
  device_->line(stroke(x1), stroke(y1), stroke(x2), stroke(y2), colour);
}

void ScaledCanvas::circle(float x, float y, float radius, Rgb colour) {
  device_->circle(centre(x), centre(y), static_cast<float>(radius * scale_), colour);
}

void ScaledCanvas::text(float x, float y, std::string_view utf8, Rgb colour) {
  device_->text(static_cast<float>(x * scale_), static_cast<float>(y * scale_), utf8, colour);
}

void ScaledCanvas::clippedText(const Rect& clip, float x, float y, std::string_view utf8,
                               Rgb colour) {
  device_->clippedText(device(clip), static_cast<float>(x * scale_), static_cast<float>(y * scale_),
                       utf8, colour);
}

int ScaledCanvas::textHeight(std::string_view utf8) {
  return static_cast<int>(std::lround(device_->textHeight(utf8) / scale_));
}

}  // namespace drevanti
