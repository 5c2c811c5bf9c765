// One window's frames on Windows: the demonstration draws with GDI on a bitmap in memory
// (GdiCanvas), and each finished frame is shown with one blit into the window.
#pragma once

#include <windows.h>

#include <memory>

#include "app/backend.h"
#include "gdi_canvas.h"

namespace drevanti::win32 {

class Win32Frame final : public FrameTarget {
 public:
  Win32Frame(HWND window, ScreenSize size);

  Canvas& canvas() override { return *canvas_; }
  bool present() override;
  void resize(ScreenSize size) override;

 private:
  HWND window_;
  std::unique_ptr<GdiCanvas> canvas_;
};

}  // namespace drevanti::win32
