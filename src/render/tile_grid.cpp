#include "render/tile_grid.h"

#include <algorithm>
#include <utility>

namespace drevanti {

namespace {

int tilesAcross(int pixels, int side) {
  return (std::max(pixels, 0) + side - 1) / side;
}

}  // namespace

TileGrid::TileGrid(ScreenSize window, int side, bool marked)
    : window_(window),
      side_(side),
      columns_(tilesAcross(window.width, side)),
      rows_(tilesAcross(window.height, side)),
      marked_(static_cast<std::size_t>(columns_) * rows_, marked) {}

void TileGrid::mark(int left, int top, int right, int bottom) {
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, window_.width - 1);
  bottom = std::min(bottom, window_.height - 1);
  if (left > right || top > bottom) return;
  for (int row = top / side_; row <= bottom / side_; ++row) {
    for (int column = left / side_; column <= right / side_; ++column) {
      marked_[static_cast<std::size_t>(row) * columns_ + column] = true;
    }
  }
}

void TileGrid::clear() {
  std::fill(marked_.begin(), marked_.end(), false);
}

void TileGrid::add(const TileGrid& other) {
  for (std::size_t i = 0; i < marked_.size(); ++i) marked_[i] = marked_[i] || other.marked_[i];
}

Rect TileGrid::tile(int column, int row) const {
  const int x = column * side_, y = row * side_;
  return {x, y, std::min(side_, window_.width - x), std::min(side_, window_.height - y)};
}

std::vector<Rect> TileGrid::rectangles() const {
  std::vector<Rect> found;
  // The rectangles that reach down to the row before, by the column their run starts on.
  std::vector<int> open(static_cast<std::size_t>(columns_), -1);
  for (int row = 0; row < rows_; ++row) {
    std::vector<int> reaching(static_cast<std::size_t>(columns_), -1);
    for (int column = 0; column < columns_;) {
      if (!marked(column, row)) {
        ++column;
        continue;
      }
      const int start = column;
      while (column < columns_ && marked(column, row)) ++column;
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

}  // namespace drevanti
