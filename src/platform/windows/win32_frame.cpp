#include "win32_frame.h"

namespace drevanti::win32 {

Win32Frame::Win32Frame(HWND window, ScreenSize size, double scale) : window_(window) {
  resize(size, scale);
}

bool Win32Frame::present(const std::vector<Rect>& changed) {
  presented_ = true;
  // A window its host has destroyed gives no device context: the frame goes nowhere.
  const HDC dc = GetDC(window_);
  if (dc == nullptr) return true;
  for (const Rect& r : changed) canvas_->blitTo(dc, RECT{r.x, r.y, r.x + r.width, r.y + r.height});
  ReleaseDC(window_, dc);
  return true;
}

void Win32Frame::resize(ScreenSize size, double scale) {
  canvas_ = std::make_unique<GdiCanvas>(size.width, size.height, nullptr, scale);
  presented_ = false;
}

}  // namespace drevanti::win32
