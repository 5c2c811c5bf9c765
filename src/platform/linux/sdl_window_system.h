// The Linux saver's windows on SDL and X11, as the window owner asks for them: a borderless window
// on each monitor, placed there past any window manager, as screen savers' windows are, or the
// window a host gives the saver to draw in. It
// translates SDL's events, the X server's word of changed monitors, the quit signals and the end
// of the host's window into the owner's events, and shows the frames the demonstrations hand over.
// Needs a running SdlSession.
#pragma once

#include <SDL.h>

#include <memory>
#include <optional>
#include <vector>

#include "app/window_system.h"
#include "main_thread_wait.h"
#include "sdl_frame.h"
#include "text_renderer.h"
#include "x11_desktop.h"

namespace drevanti::linux_platform {

class SdlWindowSystem final : public WindowSystem {
 public:
  // Full screen.
  explicit SdlWindowSystem(TextRenderer& text);
  // Hosted in the given X11 window, which watchHostWindow watches.
  SdlWindowSystem(TextRenderer& text, unsigned long hostWindow);
  ~SdlWindowSystem() override;
  SdlWindowSystem(const SdlWindowSystem&) = delete;
  SdlWindowSystem& operator=(const SdlWindowSystem&) = delete;

  MonitorReport monitors() override;
  FrameTarget& open(WindowKey window, const Monitor& place) override;
  void close(WindowKey window) override;
  std::optional<DesktopPoint> pointer() override;
  void dispatch(WindowEvents& events, std::chrono::milliseconds timeout) override;
  void wake() override { wait_.wake(); }
  void stopServing() override;

 private:
  struct Window {
    WindowKey key;
    SDL_Window* window;
    std::unique_ptr<SdlFrame> frame;
  };

  SDL_Window* create(const Monitor& place);
  void translate(const SDL_Event& event, WindowEvents& events);
  void followMonitors(WindowEvents& events);
  WindowKey keyOf(Uint32 windowId) const;
  // The host's window is gone and SDL can do nothing more with it but fail.
  bool hostLost() const;

  TextRenderer& text_;
  const unsigned long hostWindow_ = 0;  // 0: full screen
  // Full screen: the monitors and the pointer.
  std::unique_ptr<X11Desktop> desktop_;
  MainThreadWait wait_;
  std::vector<Window> windows_;
  // The window with the keyboard: without a window manager nobody else gives it one.
  std::optional<WindowKey> focused_;
  MonitorReport reported_;
  bool serving_ = true;
};

}  // namespace drevanti::linux_platform
