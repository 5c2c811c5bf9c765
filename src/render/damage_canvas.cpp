#include "render/damage_canvas.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace drevanti {

namespace {

// The tiles' side in device pixels: small enough that a tree's lines mark little beside them.
constexpr int kTile = 16;
// How far a device's one-pixel line or outline may lie from the true one: its ends rounded to
// whole pixels, and its pixels the nearest to the line between them.
constexpr float kStrokeMargin = 2;
// A coordinate a device draws as given (one it clamps draws another line than the one asked for).
bool drawable(float v) {
  return std::isfinite(v) && std::abs(v) < kCoordinateLimit;
}

int pixelBelow(float v) {
  return static_cast<int>(std::floor(v));
}

int pixelAbove(float v) {
  return static_cast<int>(std::ceil(v));
}

}  // namespace

DamageCanvas::DamageCanvas(ScreenSize size)
    : size_(size), now_{TileGrid(size, kTile, true), std::nullopt} {}

void DamageCanvas::drawOn(Canvas& device, int age) {
  device_ = &device;
  age_ = age;
}

void DamageCanvas::begin() {
  if (drawing_) return;
  drawing_ = true;
  if (age_ >= 1 && age_ <= kFramesKept && shown_[age_ - 1]) {
    now_ = *shown_[age_ - 1];
  } else {
    now_ = {TileGrid(size_, kTile, true), std::nullopt};
  }
}

std::vector<Rect> DamageCanvas::present() {
  const Rect whole{0, 0, size_.width, size_.height};
  if (!std::exchange(drawing_, false)) return {whole};
  std::vector<Rect> changed{whole};
  if (shown_[0] && now_.background && shown_[0]->background == now_.background) {
    TileGrid either = now_.tiles;
    either.add(shown_[0]->tiles);
    changed = either.rectangles();
  }
  std::move_backward(shown_.begin(), shown_.end() - 1, shown_.end());
  shown_[0] = std::move(now_);
  return changed;
}

void DamageCanvas::fill(Rgb colour, const Rect* area) {
  begin();
  if (area) {
    mark(area->x, area->y, area->x + area->width - 1, area->y + area->height - 1);
    device_->fill(colour, area);
    return;
  }
  if (now_.background == colour) {
    for (const Rect& r : now_.tiles.rectangles()) device_->fill(colour, &r);
  } else {
    device_->fill(colour, nullptr);
    now_.background = colour;
  }
  now_.tiles.clear();
}

void DamageCanvas::line(float x1, float y1, float x2, float y2, Rgb colour) {
  begin();
  device_->line(x1, y1, x2, y2, colour);
  if (!drawable(x1) || !drawable(y1) || !drawable(x2) || !drawable(y2)) {
    markAll();
    return;
  }
  // In pieces about a tile long, so that a long slanting line marks the tiles along it only.
  const float length = std::max(std::abs(x2 - x1), std::abs(y2 - y1));
  const int pieces = std::max(1, pixelAbove(length / kTile));
  for (int i = 0; i < pieces; ++i) {
    const float from = static_cast<float>(i) / pieces, to = static_cast<float>(i + 1) / pieces;
    const float ax = x1 + (x2 - x1) * from, ay = y1 + (y2 - y1) * from;
    const float bx = x1 + (x2 - x1) * to, by = y1 + (y2 - y1) * to;
    mark(pixelBelow(std::min(ax, bx) - kStrokeMargin), pixelBelow(std::min(ay, by) - kStrokeMargin),
         pixelAbove(std::max(ax, bx) + kStrokeMargin),
         pixelAbove(std::max(ay, by) + kStrokeMargin));
  }
}

void DamageCanvas::circle(float x, float y, float radius, Rgb colour) {
  begin();
  device_->circle(x, y, radius, colour);
  if (!drawable(x) || !drawable(y) || !drawable(radius)) {
    markAll();
    return;
  }
  const float reach = std::abs(radius) + kStrokeMargin;
  mark(pixelBelow(x - reach), pixelBelow(y - reach), pixelAbove(x + reach), pixelAbove(y + reach));
}

void DamageCanvas::text(float x, float y, std::string_view utf8, Rgb colour, const Rect* clip) {
  begin();
  device_->text(x, y, utf8, colour, clip);
  if (clip) {
    mark(clip->x, clip->y, clip->x + clip->width - 1, clip->y + clip->height - 1);
    return;
  }
  if (!drawable(x) || !drawable(y)) {
    markAll();
    return;
  }
  // A cell a line high and as wide for each byte (a character has one or more), and one more on
  // every side: a glyph of a text face is narrower than its line is high, and its ink reaches
  // out of its cell by far less than a cell.
  const int cell = std::max(1, device_->textHeight(utf8));
  const int cells = static_cast<int>(utf8.size());
  mark(pixelBelow(x) - cell, pixelBelow(y) - cell, pixelAbove(x) + (cells + 1) * cell,
       pixelAbove(y) + 2 * cell);
}

int DamageCanvas::textHeight(std::string_view utf8) {
  return device_->textHeight(utf8);
}

}  // namespace drevanti
