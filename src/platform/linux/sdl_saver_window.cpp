#include "sdl_saver_window.h"

#include <algorithm>
#include <string>

#include "saver_events.h"
#include "sdl_session.h"
#include "x11_workarounds.h"

namespace drevanti::linux_platform {

namespace {

constexpr const char* kTitle = "シュタイナー問題";

}  // namespace

SdlSaverWindow::SdlSaverWindow(TextRenderer& text) {
  SDL_Rect bounds{};
  if (SDL_GetDisplayBounds(0, &bounds) != 0) {
    throw DisplayError(std::string("cannot read the screen size: ") + SDL_GetError());
  }
  screen_ = {bounds.w, bounds.h};
  // Full screen at the desktop's own resolution (no mode change), no border; shown by show().
  window_ = SDL_CreateWindow(kTitle, bounds.x, bounds.y, bounds.w, bounds.h,
                             SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS |
                                 SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_SKIP_TASKBAR);
  if (!window_) throw DisplayError(std::string("cannot create the window: ") + SDL_GetError());
  // The back buffer takes the window's pixel layout, so showing a frame is a straight copy.
  Uint32 format = SDL_GetWindowPixelFormat(window_);
  if (format == SDL_PIXELFORMAT_UNKNOWN || SDL_BYTESPERPIXEL(format) != 4) {
    format = SDL_PIXELFORMAT_RGB888;
  }
  canvas_ = std::make_unique<SurfaceCanvas>(bounds.w, bounds.h, format, text);
}

SdlSaverWindow::~SdlSaverWindow() {
  unload();
}

void SdlSaverWindow::show() {
  if (!window_) return;
  SDL_ShowWindow(window_);
  SDL_RaiseWindow(window_);
  // Without a window manager nobody else gives the window the keyboard.
  SDL_SetWindowInputFocus(window_);
}

void SdlSaverWindow::hide() {
  if (!window_) return;
  withdrawX11Window(window_);
  SDL_HideWindow(window_);
}

void SdlSaverWindow::unload() {
  if (!window_) return;
  SDL_DestroyWindow(window_);
  window_ = nullptr;
}

void SdlSaverWindow::present() {
  copyToWindow(true);
}

void SdlSaverWindow::copyToWindow(bool fromBackBuffer) {
  if (!window_) return;
  SDL_Surface* front = SDL_GetWindowSurface(window_);
  if (!front) return;
  if (fromBackBuffer) SDL_BlitSurface(canvas_->surface(), nullptr, front, nullptr);
  SDL_UpdateWindowSurface(window_);
}

void SdlSaverWindow::dispatch(const SDL_Event& event, FormEvents& handlers) {
  const SaverInput input = translateSaverEvent(event);
  switch (input.kind) {
    case SaverInput::Kind::Exposed:
      // The window surface still holds the last frame shown.
      copyToWindow(false);
      break;
    case SaverInput::Kind::Resized:
      // A new window surface: input is only dispatched between frames, so the back buffer
      // holds a complete one.
      copyToWindow(true);
      break;
    default:
      deliver(input, handlers);
      break;
  }
}

void SdlSaverWindow::doEvents(FormEvents& handlers) {
  SDL_Event event;
  while (SDL_PollEvent(&event)) dispatch(event, handlers);
}

void SdlSaverWindow::waitEvents(FormEvents& handlers, std::chrono::milliseconds timeout) {
  const auto ms =
      static_cast<int>(std::clamp<std::chrono::milliseconds::rep>(timeout.count(), 0, 60'000));
  SDL_Event event;
  // Sleeps in the window system's queue until an event arrives or the time is up.
  if (SDL_WaitEventTimeout(&event, ms)) {
    dispatch(event, handlers);
    doEvents(handlers);
  }
}

}  // namespace drevanti::linux_platform
