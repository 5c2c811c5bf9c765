// One window's frames on Windows: the demonstration draws with GDI on a bitmap in memory
// (GdiCanvas), and shows each finished frame itself by blitting what changed into the window,
// which the program's main thread owns. Only complete frames reach the screen.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "app/backend.h"
#include "gdi_canvas.h"

namespace drevanti::win32 {

class Win32Frame final : public FrameTarget {
 public:
  // Frames for the window, its text scale times the default font's size.
  Win32Frame(HWND window, ScreenSize size, double scale);

  Canvas& canvas() override { return *canvas_; }
  // The bitmap holds the last frame, but for a new one.
  int canvasAge() override { return presented_ ? 1 : 0; }
  bool present(const std::vector<Rect>& changed) override;
  void resize(ScreenSize size, double scale) override;

 private:
  HWND window_;
  std::unique_ptr<GdiCanvas> canvas_;
  bool presented_ = false;
};

}  // namespace drevanti::win32
