// frmSteiner's window on SDL: borderless, full screen on the primary display, black. The scene is
// drawn on a software back buffer (SurfaceCanvas) and shown by one copy onto the window surface,
// so only complete frames ever reach the screen.
#pragma once

#include <SDL.h>

#include <memory>

#include "app/platform.h"
#include "surface_canvas.h"
#include "text_renderer.h"

namespace drevanti::linux_platform {

class SdlSaverWindow final : public SaverWindow {
 public:
  // Creates the window hidden; needs a running SdlSession.
  explicit SdlSaverWindow(TextRenderer& text);
  ~SdlSaverWindow() override;
  SdlSaverWindow(const SdlSaverWindow&) = delete;
  SdlSaverWindow& operator=(const SdlSaverWindow&) = delete;

  void show() override;
  void hide() override;
  void unload() override;
  Canvas& canvas() override { return *canvas_; }
  void present() override;
  void doEvents(FormEvents& handlers) override;
  void waitEvents(FormEvents& handlers, std::chrono::milliseconds timeout) override;
  SaverClock::time_point now() const override { return SaverClock::now(); }
  ScreenSize screenSize() const override { return screen_; }

 private:
  void dispatch(const SDL_Event& event, FormEvents& handlers);
  // Shows the back buffer (or, when the window system only lost the picture, the last frame).
  void copyToWindow(bool fromBackBuffer);

  SDL_Window* window_ = nullptr;
  ScreenSize screen_;
  std::unique_ptr<SurfaceCanvas> canvas_;
};

}  // namespace drevanti::linux_platform
