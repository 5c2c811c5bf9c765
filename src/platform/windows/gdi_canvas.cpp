#include "gdi_canvas.h"

#include <algorithm>
#include <cmath>

#include "wide_text.h"

namespace drevanti::win32 {

namespace {

COLORREF colorRef(Rgb c) {
  return RGB(c.r, c.g, c.b);
}

// Nearest whole pixel; far-off values are held where GDI still takes them.
int px(float value) {
  return static_cast<int>(std::lround(std::clamp(value, -1.0e6f, 1.0e6f)));
}

// A copy of font at scale times its size. The stock font is made for the system's DPI; the scale
// is from 96.
HFONT scaledCopy(HFONT font, double scale) {
  LOGFONTW shape{};
  GetObjectW(font, sizeof shape, &shape);
  const HDC screen = GetDC(nullptr);
  const double factor = scale * 96 / std::max(GetDeviceCaps(screen, LOGPIXELSY), 1);
  ReleaseDC(nullptr, screen);
  shape.lfHeight = static_cast<LONG>(std::lround(shape.lfHeight * factor));
  shape.lfWidth = static_cast<LONG>(std::lround(shape.lfWidth * factor));
  return CreateFontIndirectW(&shape);
}

}  // namespace

GdiCanvas::GdiCanvas(int width, int height, HFONT font, double textScale)
    : width_(std::max(width, 1)),
      height_(std::max(height, 1)),
      font_(font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT))) {
  if (textScale != 1) scaledFont_ = scaledCopy(font_, textScale);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width_;
  info.bmiHeader.biHeight = -height_;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  dc_ = CreateCompatibleDC(nullptr);
  bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bits_ = static_cast<const std::uint32_t*>(bits);
  previousBitmap_ = SelectObject(dc_, bitmap_);
  previousFont_ = SelectObject(dc_, scaledFont_ ? scaledFont_ : font_);
  previousBrush_ = SelectObject(dc_, GetStockObject(NULL_BRUSH));
  previousPen_ = SelectObject(dc_, GetStockObject(WHITE_PEN));
  SetTextAlign(dc_, TA_LEFT | TA_TOP | TA_NOUPDATECP);
  SetBkMode(dc_, TRANSPARENT);
  fill(kBlack, nullptr);
}

GdiCanvas::~GdiCanvas() {
  SelectObject(dc_, previousPen_);
  SelectObject(dc_, previousBrush_);
  SelectObject(dc_, previousFont_);
  SelectObject(dc_, previousBitmap_);
  for (const Pen& p : pens_) DeleteObject(p.pen);
  if (scaledFont_) DeleteObject(scaledFont_);
  DeleteObject(bitmap_);
  DeleteDC(dc_);
}

void GdiCanvas::fill(Rgb colour, const Rect* area) {
  const Rect filled = area ? *area : Rect{0, 0, width_, height_};
  const RECT box{filled.x, filled.y, filled.x + filled.width, filled.y + filled.height};
  const HBRUSH brush = CreateSolidBrush(colorRef(colour));
  FillRect(dc_, &box, brush);
  DeleteObject(brush);
}

void GdiCanvas::line(float x1, float y1, float x2, float y2, Rgb colour) {
  SelectObject(dc_, pen(colour));
  MoveToEx(dc_, px(x1), px(y1), nullptr);
  LineTo(dc_, px(x2), px(y2));
  // LineTo stops one pixel short of the end point.
  SetPixelV(dc_, px(x2), px(y2), colorRef(colour));
}

void GdiCanvas::circle(float x, float y, float radius, Rgb colour) {
  SelectObject(dc_, pen(colour));
  const int cx = px(x), cy = px(y), r = px(radius);
  // The box's right and bottom edges lie outside the figure.
  Ellipse(dc_, cx - r, cy - r, cx + r + 1, cy + r + 1);
}

void GdiCanvas::text(float x, float y, std::string_view utf8, Rgb colour, const Rect* clip) {
  const std::wstring wide = widen(utf8);
  SetTextColor(dc_, colorRef(colour));
  if (!clip) {
    TextOutW(dc_, px(x), px(y), wide.c_str(), static_cast<int>(wide.size()));
    return;
  }
  const RECT box{clip->x, clip->y, clip->x + clip->width, clip->y + clip->height};
  ExtTextOutW(dc_, px(x), px(y), ETO_CLIPPED, &box, wide.c_str(), static_cast<UINT>(wide.size()),
              nullptr);
}

int GdiCanvas::textHeight(std::string_view) {
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc_, &metrics);
  return static_cast<int>(metrics.tmHeight);
}

HPEN GdiCanvas::pen(Rgb colour) {
  const COLORREF key = colorRef(colour);
  for (const Pen& p : pens_) {
    if (p.colour == key) return p.pen;
  }
  const HPEN made = CreatePen(PS_SOLID, 1, key);
  pens_.push_back({key, made});
  return made;
}

void GdiCanvas::blitTo(HDC target, const RECT& area) const {
  GdiFlush();
  BitBlt(target, area.left, area.top, area.right - area.left, area.bottom - area.top, dc_,
         area.left, area.top, SRCCOPY);
}

Rgb GdiCanvas::pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_ || bits_ == nullptr) return kBlack;
  GdiFlush();
  const std::uint32_t value = bits_[static_cast<std::size_t>(y) * width_ + x];
  return Rgb{static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 8),
             static_cast<std::uint8_t>(value)};
}

}  // namespace drevanti::win32
