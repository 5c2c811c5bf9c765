// The saver's picture, drawn with GDI into a bitmap in memory and shown by one blit per frame, so
// that a frame never appears half drawn. Pixel units, origin at the top-left corner.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "render/canvas.h"

namespace drevanti::win32 {

class GdiCanvas final : public Canvas {
 public:
  // A black picture of the given size; font is the one for every text (not owned), drawn
  // textScale times its size.
  GdiCanvas(int width, int height, HFONT font, double textScale = 1);
  ~GdiCanvas() override;
  GdiCanvas(const GdiCanvas&) = delete;
  GdiCanvas& operator=(const GdiCanvas&) = delete;

  void fill(Rgb colour, const Rect* area) override;
  // One pixel wide, both end points included.
  void line(float x1, float y1, float x2, float y2, Rgb colour) override;
  // The outline of the circle of the given radius: 2 * radius + 1 pixels across.
  void circle(float x, float y, float radius, Rgb colour) override;
  void text(float x, float y, std::string_view utf8, Rgb colour, const Rect* clip) override;
  // The font's cell height (tmHeight).
  int textHeight(std::string_view utf8) override;

  // Copies the picture to target: the part inside area, at the same place.
  void blitTo(HDC target, const RECT& area) const;

  int width() const { return width_; }
  int height() const { return height_; }
  Rgb pixel(int x, int y) const;

 private:
  // The one-pixel pen of the colour, made once.
  HPEN pen(Rgb colour);

  int width_, height_;
  HFONT font_;
  // A copy of the font at the text scale, when that is not 1; owned.
  HFONT scaledFont_ = nullptr;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previousBitmap_ = nullptr;
  HGDIOBJ previousFont_ = nullptr;
  HGDIOBJ previousPen_ = nullptr;
  HGDIOBJ previousBrush_ = nullptr;
  const std::uint32_t* bits_ = nullptr;
  struct Pen {
    COLORREF colour;
    HPEN pen;
  };
  std::vector<Pen> pens_;
};

}  // namespace drevanti::win32
