#include "render/scaled_canvas.h"

#include <algorithm>
#include <cmath>

namespace drevanti {

namespace {

int floorInt(double v) {
  return static_cast<int>(std::floor(v));
}

// The device pixel a device coordinate lies on, as the devices round it.
int nearest(float v) {
  return static_cast<int>(std::lround(v));
}

// The largest x >= 0 with 4 * x * x <= limit; -1 when there is none.
int reach(long limit) {
  if (limit < 0) return -1;
  auto x = static_cast<long>(std::sqrt(static_cast<double>(limit) / 4));
  while (4 * x * x > limit) --x;
  while (4 * (x + 1) * (x + 1) <= limit) ++x;
  return static_cast<int>(x);
}

}  // namespace

ScaledCanvas::ScaledCanvas(double scale)
    : scale_(scale), lineWidth_(std::max(1, static_cast<int>(std::lround(scale)))) {}

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

void ScaledCanvas::fill(Rgb colour, const Rect* area) {
  if (!area) {
    device_->fill(colour, nullptr);
    return;
  }
  const Rect covered = device(*area);
  device_->fill(colour, &covered);
}

void ScaledCanvas::line(float x1, float y1, float x2, float y2, Rgb colour) {
  const float left = stroke(x1), top = stroke(y1), right = stroke(x2), bottom = stroke(y2);
  for (int dy = 0; dy < lineWidth_; ++dy) {
    for (int dx = 0; dx < lineWidth_; ++dx) {
      device_->line(left + static_cast<float>(dx), top + static_cast<float>(dy),
                    right + static_cast<float>(dx), bottom + static_cast<float>(dy), colour);
    }
  }
}

void ScaledCanvas::circle(float x, float y, float radius, Rgb colour) {
  const float cx = centre(x), cy = centre(y), r = static_cast<float>(radius * scale_);
  if (lineWidth_ == 1) {
    device_->circle(cx, cy, r, colour);
    return;
  }
  ring(nearest(cx), nearest(cy), nearest(r), colour);
}

void ScaledCanvas::ring(int cx, int cy, int radius, Rgb colour) {
  // Squared distances times four, so that the half-pixel bounds stay whole numbers.
  const long outer = (2L * radius + 1) * (2L * radius + 1);
  const long innerRadius = std::max(0L, 2L * (radius - lineWidth_) + 1);
  const long inner = innerRadius * innerRadius;
  for (int dy = -radius; dy <= radius; ++dy) {
    const long row = 4L * dy * dy;
    // The row's pixels from -out to out, but for those from -in to in, nearer than the inner
    // bound (none when in is -1).
    const int out = reach(outer - row), in = reach(inner - 1 - row);
    if (out < 0 || in >= out) continue;
    if (in < 0) {
      const Rect whole{cx - out, cy + dy, 2 * out + 1, 1};
      device_->fill(colour, &whole);
      continue;
    }
    const Rect left{cx - out, cy + dy, out - in, 1}, right{cx + in + 1, cy + dy, out - in, 1};
    device_->fill(colour, &left);
    device_->fill(colour, &right);
  }
}

void ScaledCanvas::text(float x, float y, std::string_view utf8, Rgb colour, const Rect* clip) {
  const float deviceX = static_cast<float>(x * scale_), deviceY = static_cast<float>(y * scale_);
  if (!clip) {
    device_->text(deviceX, deviceY, utf8, colour, nullptr);
    return;
  }
  const Rect cut = device(*clip);
  device_->text(deviceX, deviceY, utf8, colour, &cut);
}

int ScaledCanvas::textHeight(std::string_view utf8) {
  return static_cast<int>(std::lround(device_->textHeight(utf8) / scale_));
}

}  // namespace drevanti
