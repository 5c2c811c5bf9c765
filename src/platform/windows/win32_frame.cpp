#include "win32_frame.h"

namespace drevanti::win32 {

Win32Frame::Win32Frame(HWND window, ScreenSize size, double scale) : window_(window) {
  resize(size, scale);
}

bool Win32Frame::present() {
  // A window its host has destroyed gives no device context: the frame goes nowhere.
  const HDC dc = GetDC(window_);
  if (dc == nullptr) return true;
  canvas_->blitTo(dc);
  ReleaseDC(window_, dc);
  return true;
}

void Win32Frame::resize(ScreenSize size, double scale) {
  canvas_ = std::make_unique<GdiCanvas>(size.width, size.height, nullptr, scale);
}

}  // namespace drevanti::win32
