#include "wayland_saver.h"

#include <SDL_ttf.h>

#include <memory>
#include <stdexcept>
#include <string>

#include "app/demonstrations.h"
#include "app/window_owner.h"
#include "platform/linux/quit_signals.h"
#include "platform/linux/text_renderer.h"
#include "wayland_window_system.h"

namespace drevanti::wayland_platform {

namespace {

// Wayland leaves the pointer over a surface to the surface's client, which hides it, and has no
// screen-saver switch for a client to set: there is nothing on the desktop to take or give back.
class WaylandDesktop final : public SystemSettings {
 public:
  void showCursor(bool) override {}
  std::optional<bool> screenSaverActive() override { return std::nullopt; }
  void setScreenSaverActive(bool) override {}
};

// SDL_ttf for the text, without the rest of SDL.
class FontSession {
 public:
  FontSession() {
    if (TTF_Init() != 0) {
      throw std::runtime_error(std::string("cannot start the font renderer: ") + TTF_GetError());
    }
  }
  ~FontSession() { TTF_Quit(); }
  FontSession(const FontSession&) = delete;
  FontSession& operator=(const FontSession&) = delete;
};

}  // namespace

std::optional<int> runFullScreenOnWayland(std::uint32_t seed) {
  const FontSession fonts;
  linux_platform::TextRenderer text(linux_platform::kSaverTextPixels);
  const std::unique_ptr<WaylandWindowSystem> system = WaylandWindowSystem::connect(text);
  if (!system) return std::nullopt;
  // Before the first thread; a signal wakes the main thread, which reads it as a close request.
  linux_platform::QuitSignals signals([&system] { system->wake(); });
  Demonstrations demonstrations([&system] { system->wake(); });
  WindowOwner owner(*system, demonstrations, seed);
  WaylandDesktop desktop;
  owner.runFullScreen(desktop);
  return 0;
}

}  // namespace drevanti::wayland_platform
