// One window's frames on Windows: the demonstration draws with GDI on a bitmap in memory
// (GdiCanvas), and shows each finished frame itself with one blit into the window, which the
// program's main thread owns. Only complete frames reach the screen.
#pragma once

#include <windows.h>

#include <memory>

#include "app/backend.h"
#include "gdi_canvas.h"

namespace drevanti::win32 {

class Win32Frame final : public FrameTarget {
 public:
  // Frames for the window, its text scale times the default font's size.
  Win32Frame(HWND window, ScreenSize size, double scale);

  Canvas& canvas() override { return *canvas_; }
  bool present() override;
  void resize(ScreenSize size, double scale) override;

 private:
  HWND window_;
  std::unique_ptr<GdiCanvas> canvas_;
};

}  // namespace drevanti::win32
