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
// Coordinates beyond this a device may clamp, drawing another line than the one asked for.
constexpr float kCoordinateLimit = 1 << 20;

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
    : size_(size),
      columns_((std::max(size.width, 0) + kTile - 1) / kTile),
      rows_((std::max(size.height, 0) + kTile - 1) / kTile) {}

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
    now_ = {std::vector<bool>(static_cast<std::size_t>(columns_) * rows_, true), std::nullopt};
  }
}

std::vector<Rect> DamageCanvas::present() {
  const Rect whole{0, 0, size_.width, size_.height};
  if (!std::exchange(drawing_, false)) return {whole};
  std::vector<Rect> changed{whole};
  if (shown_[0] && now_.background && shown_[0]->background == now_.background) {
    std::vector<bool> either = now_.tiles;
    for (std::size_t i = 0; i < either.size(); ++i) either[i] = either[i] || shown_[0]->tiles[i];
    changed = rectangles(either);
  }
  std::move_backward(shown_.begin(), shown_.end() - 1, shown_.end());
  shown_[0] = std::move(now_);
  return changed;
}

void DamageCanvas::mark(int left, int top, int right, int bottom) {
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, size_.width - 1);
  bottom = std::min(bottom, size_.height - 1);
  for (int row = top / kTile; top <= bottom && row <= bottom / kTile; ++row) {
    for (int column = left / kTile; left <= right && column <= right / kTile; ++column) {
      now_.tiles[static_cast<std::size_t>(row) * columns_ + column] = true;
    }
  }
}

Rect DamageCanvas::tile(int column, int row) const {
  const int x = column * kTile, y = row * kTile;
  return {x, y, std::min(kTile, size_.width - x), std::min(kTile, size_.height - y)};
}

std::vector<Rect> DamageCanvas::rectangles(const std::vector<bool>& tiles) const {
  std::vector<Rect> found;
  // The rectangles that reach down to the row before, by the column their run starts on.
  std::vector<int> open(static_cast<std::size_t>(columns_), -1);
  for (int row = 0; row < rows_; ++row) {
    std::vector<int> reaching(static_cast<std::size_t>(columns_), -1);
    for (int column = 0; column < columns_;) {
      if (!tiles[static_cast<std::size_t>(row) * columns_ + column]) {
        ++column;
        continue;
      }
      const int start = column;
      while (column < columns_ && tiles[static_cast<std::size_t>(row) * columns_ + column]) {
        ++column;
      }
      const Rect first = tile(start, row), last = tile(column - 1, row);
      const int width = last.x + last.width - first.x;
      const int above = open[start];
      if (above >= 0 && found[above].width == width) {
        found[above].height = first.y + first.height - found[above].y;
        reaching[start] = above;
      } else {
        reaching[start] = static_cast<int>(found.size());
        found.push_back({first.x, first.y, width, first.height});
      }
    }
    open = std::move(reaching);
  }
  return found;
}

void DamageCanvas::fill(Rgb colour, const Rect* area) {
  begin();
  if (area) {
    mark(area->x, area->y, area->x + area->width - 1, area->y + area->height - 1);
    device_->fill(colour, area);
    return;
  }
  if (now_.background == colour) {
    for (const Rect& r : rectangles(now_.tiles)) device_->fill(colour, &r);
  } else {
    device_->fill(colour, nullptr);
    now_.background = colour;
  }
  std::fill(now_.tiles.begin(), now_.tiles.end(), false);
}

void DamageCanvas::line(float x1, float y1, float x2, float y2, Rgb colour) {
  begin();
  device_->line(x1, y1, x2, y2, colour);
  if (!drawable(x1) || !drawable(y1) || !drawable(x2) || !drawable(y2)) {
    mark(0, 0, size_.width - 1, size_.height - 1);
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
    mark(0, 0, size_.width - 1, size_.height - 1);
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
    mark(0, 0, size_.width - 1, size_.height - 1);
    return;
  }
  // A cell a line high and as wide for each byte, and one more on every side: no glyph of the
  // default font is wider than its line is high, nor reaches further out than that.
  const int cell = std::max(1, device_->textHeight(utf8));
  const int cells = static_cast<int>(utf8.size());
  mark(pixelBelow(x) - cell, pixelBelow(y) - cell, pixelAbove(x) + (cells + 1) * cell,
       pixelAbove(y) + 2 * cell);
}

int DamageCanvas::textHeight(std::string_view utf8) {
  return device_->textHeight(utf8);
}

}  // namespace drevanti
