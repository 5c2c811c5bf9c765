// A window's pixels cut into square tiles, each marked or not, and the marked ones as rectangles.
#pragma once

#include <vector>

#include "render/canvas.h"
#include "state/screen_size.h"

namespace drevanti {

class TileGrid {
 public:
  // The tiles of the window, side pixels square (those at the right and bottom edges cut by the
  // window's), all marked or none.
  TileGrid(ScreenSize window, int side, bool marked);

  // Marks the tiles that the pixels from (left, top) to (right, bottom), both included, lie on.
  void mark(int left, int top, int right, int bottom);
  void clear();
  // Marks the tiles marked in other, a grid of the same window and side.
  void add(const TileGrid& other);
  // The marked tiles: runs of a row, each merged with the same run of the rows below.
  std::vector<Rect> rectangles() const;

 private:
  bool marked(int column, int row) const {
    return marked_[static_cast<std::size_t>(row) * columns_ + column];
  }
  Rect tile(int column, int row) const;

  ScreenSize window_;
  int side_, columns_, rows_;
  std::vector<bool> marked_;
};

}  // namespace drevanti
