// The Linux saver's windows on SDL and X11, as the window owner asks for them: a borderless window
// on each monitor, placed there past any window manager, as screen savers' windows are, or the
// window a host gives the saver to draw in. It translates SDL's events, the X server's word of
// changed monitors and the end of the host's window into the owner's events; the frames go to the
// windows on connections of their own (X11Frame). The main thread sleeps in poll on SDL's X
// connection, on the saver's own (the monitors) and on a wake-up of its own: SDL's wait would
// wake itself with a message to one of its windows, which for a host's window goes to the host.
// Needs a running SdlSession.
#pragma once

#include <SDL.h>

#include <memory>
#include <optional>
#include <vector>

#include "app/backend.h"
#include "app/launch.h"
#include "platform/linux_shared/main_thread_sleep.h"
#include "platform/linux_shared/text_renderer.h"
#include "sdl_connection.h"
#include "x11_desktop.h"
#include "x11_frame.h"

namespace drevanti::x11 {

class SdlWindowSystem final : public WindowSystem {
 public:
  // Full screen.
  explicit SdlWindowSystem(linux_shared::TextRenderer& text);
  // Hosted in the given X11 window (kRootWindow: the root window), at its size, following it;
  // throws DisplayError when there is no such window.
  SdlWindowSystem(linux_shared::TextRenderer& text, WindowId host);
  ~SdlWindowSystem() override;
  SdlWindowSystem(const SdlWindowSystem&) = delete;
  SdlWindowSystem& operator=(const SdlWindowSystem&) = delete;

  std::vector<Monitor> monitors() override;
  FrameTarget& open(WindowKey window, const Monitor& place) override;
  void focus(WindowKey window) override;
  void close(WindowKey window) override;
  std::optional<DesktopPoint> pointer() override;
  void dispatch(WindowEvents& events) override;
  void wake() override { sleep_.wake(); }

 private:
  struct Window {
    WindowKey key;
    SDL_Window* window;
    std::unique_ptr<X11Frame> frame;
  };

  SDL_Window* create(const Monitor& place);
  // Whether events wait already read from a connection (or in SDL's queue), where a sleep on the
  // connections would not see them.
  bool eventsWaiting();
  void translate(const SDL_Event& event, WindowEvents& events);
  WindowKey keyOf(Uint32 windowId) const;
  // The host's window is gone: SDL can do nothing more with it but fail.
  bool hostLost() const;

  linux_shared::TextRenderer& text_;
  const unsigned long hostWindow_ = 0;  // 0: full screen
  ScreenSize hostSize_;
  // Full screen: the monitors and the pointer.
  std::unique_ptr<X11Desktop> desktop_;
  // SDL's own connection, known once it has a window.
  std::optional<SdlConnection> sdl_;
  linux_shared::MainThreadSleep sleep_;
  std::vector<Window> windows_;
  bool hostGone_ = false;
};

}  // namespace drevanti::x11
