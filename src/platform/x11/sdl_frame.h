// One window's frames on SDL. The demonstration draws straight into the window's own surface (one
// copy of the frame in the program, however large the screen), and the main thread shows it. SDL
// replaces a window's surface, freeing the old one, once its size has changed (or it was
// invalidated); it is asked for the surface only here, in present and resize, while the
// demonstration waits, so the surface never goes while it is drawn on.
#pragma once

#include <SDL.h>

#include <memory>

#include "app/backend.h"
#include "platform/linux_shared/surface_canvas.h"
#include "platform/linux_shared/text_renderer.h"

namespace drevanti::x11 {

class SdlFrame final : public FrameTarget {
 public:
  // With the window's surface (SDL_GetWindowSurface).
  SdlFrame(SDL_Window* window, SDL_Surface* surface, linux_shared::TextRenderer& text);

  Canvas& canvas() override { return *canvas_; }
  bool present() override;
  void resize(ScreenSize size) override;

 private:
  struct SurfaceDeleter {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
  };
  // True when SDL has made the window a new surface: the canvas draws on it from now on.
  bool takeNewSurface();
  // Draws where nothing is shown: the window's surface is gone.
  void drawNowhere();

  SDL_Window* window_;
  linux_shared::TextRenderer& text_;
  SDL_Surface* surface_;
  ScreenSize size_;
  std::unique_ptr<SDL_Surface, SurfaceDeleter> nowhere_;
  std::unique_ptr<linux_shared::SurfaceCanvas> canvas_;
};

}  // namespace drevanti::x11
