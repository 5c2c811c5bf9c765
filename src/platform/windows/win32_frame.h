// One window's frames on Windows: the demonstration draws with GDI on a bitmap in memory
// (GdiCanvas) and shows each finished frame with one blit, from its own thread, into the window
// that the program's main thread owns. Only complete frames reach the screen.
#pragma once

#include <windows.h>

#include <memory>

#include "app/hosted_window.h"
#include "gdi_canvas.h"

namespace drevanti::win32 {

class Win32Frame final : public FrameTarget {
 public:
  Win32Frame(HWND window, ScreenSize size);

  Canvas& canvas() override { return *canvas_; }
  void present() override;
  void resize(ScreenSize size) override;

 private:
  HWND window_;
  std::unique_ptr<GdiCanvas> canvas_;
};

}  // namespace drevanti::win32
