// One window's frames on SDL. The demonstration draws on a back buffer in the window's pixel
// layout; only the program's main thread may touch SDL's windows, so when the demonstration
// presents, it hands the frame over and waits until the main thread has copied it to the window.
// The back buffer thus never changes while it is being shown, and only complete frames reach the
// screen.
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
  // On the main thread. wake tells the main thread, from any thread, that a frame waits.
  SdlFrame(SDL_Window* window, ScreenSize size, TextRenderer& text, std::function<void()> wake);

  // The demonstration's side.
  Canvas& canvas() override { return *canvas_; }
  void present() override;
  void resize(ScreenSize size) override;

  // The main thread's side: shows the frame handed over, if any, and lets the demonstration go on.
  void serve();
  // The main thread serves no more frames: every present from now on returns at once.
  void abandon();

 private:
  SDL_Window* window_;
  Uint32 format_;
  TextRenderer& text_;
  std::function<void()> wake_;
  std::unique_ptr<SurfaceCanvas> canvas_;
  std::mutex mutex_;
  std::condition_variable shown_;
  bool handedOver_ = false;
  bool abandoned_ = false;
};

}  // namespace drevanti::linux_platform
