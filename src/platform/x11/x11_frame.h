// One window's frames on X11. The demonstration draws into an image in memory shared with the X
// server (MIT-SHM; a plain image where the server is on another machine) and shows each finished
// frame itself, on a connection of the frame's own: one request and the server's answer, so that
// the image is never drawn on while the server still reads it, and the main thread, which owns
// SDL's connection, has nothing to do for a frame.
#pragma once

#include <memory>
#include <vector>

#include "app/backend.h"
#include "platform/linux_shared/surface_canvas.h"
#include "platform/linux_shared/text_renderer.h"

// Xlib's display and graphics context, declared here so that Xlib's macros stay out of the files
// that include this.
struct _XDisplay;
struct _XGC;

namespace drevanti::x11 {

class X11Frame final : public FrameTarget {
 public:
  // Frames for the X11 window (SDL's, or a host's) of the given size, their text scale times the
  // renderer's size; throws DisplayError when the display cannot be drawn on (8 bits a pixel) or
  // reached.
  X11Frame(unsigned long window, ScreenSize size, double scale, linux_shared::TextRenderer& text);
  ~X11Frame() override;
  X11Frame(const X11Frame&) = delete;
  X11Frame& operator=(const X11Frame&) = delete;

  Canvas& canvas() override { return *canvas_; }
  // The image holds the last frame, but for a new one.
  int canvasAge() override { return presented_ ? 1 : 0; }
  bool present(const std::vector<Rect>& changed) override;
  void resize(ScreenSize size, double scale) override;

 private:
  struct Closer {
    void operator()(_XDisplay* display) const;
  };
  class Image;

  std::unique_ptr<_XDisplay, Closer> display_;
  unsigned long window_;
  _XGC* gc_ = nullptr;
  linux_shared::TextRenderer& text_;
  std::unique_ptr<Image> image_;
  std::unique_ptr<linux_shared::SurfaceCanvas> canvas_;
  bool presented_ = false;
};

}  // namespace drevanti::x11
