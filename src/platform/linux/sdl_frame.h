// One window's frames on SDL. The demonstration draws straight into the window's own surface (one
// copy of the frame in the program, however large the screen); only the program's main thread may
// touch SDL's windows, so when the demonstration presents, it hands the frame over and waits until
// the main thread has shown it. The surface thus never changes while it is being shown, and only
// complete frames reach the screen.
#pragma once

#include <SDL.h>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

#include "app/hosted_window.h"
#include "surface_canvas.h"
#include "text_renderer.h"

namespace drevanti::linux_platform {

class SdlFrame final : public FrameTarget {
 public:
  // On the main thread, with the window's surface (SDL_GetWindowSurface). wake tells the main
  // thread, from any thread, that a frame or a resize waits.
  SdlFrame(SDL_Window* window, SDL_Surface* surface, TextRenderer& text,
           std::function<void()> wake);

  // The demonstration's side.
  Canvas& canvas() override { return *canvas_; }
  void present() override;
  void resize(ScreenSize size) override;

  // The main thread's side: does what was handed over, if anything, and lets the demonstration go
  // on.
  void serve();
  // The main thread serves no more: every present from now on returns at once.
  void abandon();

 private:
  enum class Request { None, Present, NewSurface };
  struct SurfaceDeleter {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
  };
  // Hands the request to the main thread and waits until it is done (or nobody serves); then
  // draws on the surface the window has now.
  void handOver(Request request);
  // Draws where nothing is shown: the window's surface is gone.
  void drawNowhere();

  SDL_Window* window_;
  TextRenderer& text_;
  std::function<void()> wake_;
  SDL_Surface* surface_;
  ScreenSize size_;
  std::unique_ptr<SDL_Surface, SurfaceDeleter> nowhere_;
  std::unique_ptr<SurfaceCanvas> canvas_;
  std::mutex mutex_;
  std::condition_variable done_;
  Request request_ = Request::None;
  // SDL made the window a new surface (after a change of size, or its own invalidation).
  bool newSurface_ = false;
  bool abandoned_ = false;
};

}  // namespace drevanti::linux_platform
