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

}  // namespace

GdiCanvas::GdiCanvas(int width, int height, HFONT font)
    : width_(std::max(width, 1)),
      height_(std::max(height, 1)),
      font_(font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT))) {
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
  previousFont_ = SelectObject(dc_, font_);
  previousBrush_ = SelectObject(dc_, GetStockObject(NULL_BRUSH));
  previousPen_ = SelectObject(dc_, GetStockObject(WHITE_PEN));
  SetTextAlign(dc_, TA_LEFT | TA_TOP | TA_NOUPDATECP);
  SetBkMode(dc_, TRANSPARENT);
  fill(kBlack);
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

void GdiCanvas::fill(Rgb colour) {
  fillRect({0, 0, width_, height_}, colour);
}

void GdiCanvas::fillRect(const Rect& area, Rgb colour) {
  const RECT box{area.x, area.y, area.x + area.width, area.y + area.height};
  const HBRUSH brush = CreateSolidBrush(colorRef(colour));
  FillRect(dc_, &box, brush);
  DeleteObject(brush);
}

void GdiCanvas::line(float x1, float y1, float x2, float y2, Rgb colour) {
  SelectObject(dc_, pen(colour, 1));
  for (int dy = 0; dy < lineWidth_; ++dy) {
    for (int dx = 0; dx < lineWidth_; ++dx) {
      MoveToEx(dc_, px(x1) + dx, px(y1) + dy, nullptr);
      LineTo(dc_, px(x2) + dx, px(y2) + dy);
      // LineTo stops one pixel short of the end point.
      SetPixelV(dc_, px(x2) + dx, px(y2) + dy, colorRef(colour));
    }
  }
}

void GdiCanvas::circle(float x, float y, float radius, Rgb colour) {
  SelectObject(dc_, pen(colour, lineWidth_));
  const int cx = px(x), cy = px(y), r = px(radius);
  // The box's right and bottom edges lie outside the figure.
  Ellipse(dc_, cx - r, cy - r, cx + r + 1, cy + r + 1);
}

void GdiCanvas::text(float x, float y, std::string_view utf8, Rgb colour) {
  const std::wstring wide = widen(utf8);
  SetTextColor(dc_, colorRef(colour));
  TextOutW(dc_, px(x), px(y), wide.c_str(), static_cast<int>(wide.size()));
}

void GdiCanvas::clippedText(const Rect& clip, float x, float y, std::string_view utf8, Rgb colour) {
  const std::wstring wide = widen(utf8);
  const RECT box{clip.x, clip.y, clip.x + clip.width, clip.y + clip.height};
  SetTextColor(dc_, colorRef(colour));
  ExtTextOutW(dc_, px(x), px(y), ETO_CLIPPED, &box, wide.c_str(), static_cast<UINT>(wide.size()),
              nullptr);
}

void GdiCanvas::setDensity(int lineWidth, double textScale) {
  lineWidth_ = lineWidth;
  if (textScale == textScale_) return;
  textScale_ = textScale;
  HFONT made = nullptr;
  if (textScale != 1) {
    LOGFONTW shape{};
    GetObjectW(font_, sizeof shape, &shape);
    // The stock font is made for the system's DPI; the scale is from 96.
    const HDC screen = GetDC(nullptr);
    const double factor = textScale * 96 / std::max(GetDeviceCaps(screen, LOGPIXELSY), 1);
    ReleaseDC(nullptr, screen);
    shape.lfHeight = static_cast<LONG>(std::lround(shape.lfHeight * factor));
    shape.lfWidth = static_cast<LONG>(std::lround(shape.lfWidth * factor));
    made = CreateFontIndirectW(&shape);
  }
  SelectObject(dc_, made ? made : font_);
  if (scaledFont_) DeleteObject(scaledFont_);
  scaledFont_ = made;
}

int GdiCanvas::textHeight(std::string_view) {
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc_, &metrics);
  return static_cast<int>(metrics.tmHeight);
}

HPEN GdiCanvas::pen(Rgb colour, int width) {
  const COLORREF key = colorRef(colour);
  for (const Pen& p : pens_) {
    if (p.colour == key && p.width == width) return p.pen;
  }
  // A thick outline lies inside the figure's box, as a thin one does.
  const HPEN made = CreatePen(width == 1 ? PS_SOLID : PS_INSIDEFRAME, width, key);
  pens_.push_back({key, width, made});
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
