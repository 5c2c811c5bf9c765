#include "sdl_frame.h"

#include <stdexcept>
#include <string>

namespace drevanti::x11 {

using linux_shared::SurfaceCanvas;

SdlFrame::SdlFrame(SDL_Window* window, SDL_Surface* surface, linux_shared::TextRenderer& text)
    : window_(window),
      text_(text),
      surface_(surface),
      size_{surface->w, surface->h},
      canvas_(std::make_unique<SurfaceCanvas>(surface, text)) {}

bool SdlFrame::present() {
  // A frame drawn on a surface SDL has replaced is lost; the next one goes to the new.
  if (!takeNewSurface() && surface_) SDL_UpdateWindowSurface(window_);
  return true;
}

void SdlFrame::resize(ScreenSize size) {
  size_ = size;
  takeNewSurface();
}

bool SdlFrame::takeNewSurface() {
  SDL_Surface* now = SDL_GetWindowSurface(window_);
  if (now == surface_) return false;
  surface_ = now;
  if (surface_) {
    canvas_ = std::make_unique<SurfaceCanvas>(surface_, text_);
  } else {
    drawNowhere();
  }
  return true;
}

void SdlFrame::drawNowhere() {
  nowhere_.reset(
      SDL_CreateRGBSurfaceWithFormat(0, size_.width, size_.height, 32, SDL_PIXELFORMAT_RGB888));
  if (!nowhere_) throw std::runtime_error(std::string("out of memory: ") + SDL_GetError());
  canvas_ = std::make_unique<SurfaceCanvas>(nowhere_.get(), text_);
}

}  // namespace drevanti::x11
