#include "sdl_frame.h"

namespace drevanti::linux_platform {

namespace {

// The window's own layout when it is a 32-bit one, so that showing a frame is a straight copy.
Uint32 backBufferFormat(SDL_Window* window) {
  const Uint32 format = SDL_GetWindowPixelFormat(window);
  if (format == SDL_PIXELFORMAT_UNKNOWN || SDL_BYTESPERPIXEL(format) != 4) {
    return SDL_PIXELFORMAT_RGB888;
  }
  return format;
}

}  // namespace

SdlFrame::SdlFrame(SDL_Window* window, ScreenSize size, TextRenderer& text,
                   std::function<void()> wake)
    : window_(window),
      format_(backBufferFormat(window)),
      text_(text),
      wake_(std::move(wake)),
      canvas_(std::make_unique<SurfaceCanvas>(size.width, size.height, format_, text)) {}

void SdlFrame::present() {
  std::unique_lock lock(mutex_);
  if (abandoned_) return;
  handedOver_ = true;
  wake_();
  shown_.wait(lock, [this] { return !handedOver_ || abandoned_; });
}

void SdlFrame::resize(ScreenSize size) {
  auto canvas = std::make_unique<SurfaceCanvas>(size.width, size.height, format_, text_);
  const std::lock_guard lock(mutex_);
  canvas_ = std::move(canvas);
}

void SdlFrame::serve() {
  const std::lock_guard lock(mutex_);
  if (!handedOver_) return;
  // After a resize SDL makes the window a new surface of the new size.
  if (SDL_Surface* front = SDL_GetWindowSurface(window_)) {
    SDL_BlitSurface(canvas_->surface(), nullptr, front, nullptr);
    SDL_UpdateWindowSurface(window_);
  }
  handedOver_ = false;
  shown_.notify_all();
}

void SdlFrame::abandon() {
  {
    const std::lock_guard lock(mutex_);
    abandoned_ = true;
  }
  shown_.notify_all();
}

}  // namespace drevanti::linux_platform
