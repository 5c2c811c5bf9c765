#include "sdl_frame.h"

#include <stdexcept>
#include <string>
#include <utility>

namespace drevanti::linux_platform {

SdlFrame::SdlFrame(SDL_Window* window, SDL_Surface* surface, TextRenderer& text,
                   std::function<void()> wake)
    : window_(window),
      text_(text),
      wake_(std::move(wake)),
      surface_(surface),
      size_{surface->w, surface->h},
      canvas_(std::make_unique<SurfaceCanvas>(surface, text)) {}

void SdlFrame::handOver(Request request) {
  std::unique_lock lock(mutex_);
  if (abandoned_) return;
  request_ = request;
  wake_();
  done_.wait(lock, [this] { return request_ == Request::None || abandoned_; });
  if (!std::exchange(newSurface_, false)) return;
  if (surface_) {
    canvas_ = std::make_unique<SurfaceCanvas>(surface_, text_);
  } else {
    drawNowhere();
  }
}

void SdlFrame::present() {
  handOver(Request::Present);
}

void SdlFrame::resize(ScreenSize size) {
  size_ = size;
  handOver(Request::NewSurface);
}

void SdlFrame::drawNowhere() {
  nowhere_.reset(
      SDL_CreateRGBSurfaceWithFormat(0, size_.width, size_.height, 32, SDL_PIXELFORMAT_RGB888));
  if (!nowhere_) throw std::runtime_error(std::string("out of memory: ") + SDL_GetError());
  surface_ = nullptr;
  canvas_ = std::make_unique<SurfaceCanvas>(nowhere_.get(), text_);
}

void SdlFrame::serve() {
  const std::lock_guard lock(mutex_);
  if (request_ == Request::None) return;
  // SDL replaces the window's surface, freeing the old one, when its size has changed (or when it
  // was invalidated): only now, while the demonstration waits, may that happen. A frame drawn on
  // the old surface is lost; the next one goes to the new.
  SDL_Surface* now = SDL_GetWindowSurface(window_);
  if (now != surface_) {
    surface_ = now;
    newSurface_ = true;
  } else if (request_ == Request::Present && surface_) {
    SDL_UpdateWindowSurface(window_);
  }
  request_ = Request::None;
  done_.notify_all();
}

void SdlFrame::abandon() {
  {
    const std::lock_guard lock(mutex_);
    abandoned_ = true;
  }
  done_.notify_all();
}

}  // namespace drevanti::linux_platform
