// The window system for the full-screen saver on Wayland: one surface per output, covering it
// whole and above everything (a layer-shell surface on the overlay layer, with the keyboard to
// itself, where the compositor offers it; else a full-screen toplevel on the output), its frames in
// shared memory. The main thread sleeps on the compositor's connection and on a wake-up of its
// own.
#pragma once

#include <wayland-client.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/backend.h"
#include "fractional-scale-v1-client.h"
#include "layer_shell.h"
#include "platform/linux_shared/main_thread_sleep.h"
#include "platform/linux_shared/text_renderer.h"
#include "relative-pointer-unstable-v1-client.h"
#include "shm_frame.h"
#include "viewporter-client.h"
#include "wayland_outputs.h"
#include "xdg-output-unstable-v1-client.h"
#include "xdg-shell-client.h"

namespace drevanti::wayland_platform {

class WaylandWindowSystem final : public WindowSystem {
 public:
  // Connects to the compositor that WAYLAND_DISPLAY names; nothing when it names none, or none
  // answers there. Throws when the compositor lacks what the saver needs.
  static std::unique_ptr<WaylandWindowSystem> connect(linux_shared::TextRenderer& text);
  ~WaylandWindowSystem() override;
  WaylandWindowSystem(const WaylandWindowSystem&) = delete;
  WaylandWindowSystem& operator=(const WaylandWindowSystem&) = delete;

  std::vector<Monitor> monitors() override;
  FrameTarget& open(WindowKey window, const Monitor& place) override;
  // The compositor gives the keyboard: each layer surface asks for it, a full-screen toplevel has
  // it once it is shown.
  void focus(WindowKey) override {}
  void close(WindowKey window) override;
  // A Wayland client learns where the pointer is only once it is over one of its surfaces.
  std::optional<DesktopPoint> pointer() override { return std::nullopt; }
  void dispatch(WindowEvents& events) override;
  void wake() override { sleep_.wake(); }

 private:
  struct Window;
  WaylandWindowSystem(wl_display* display, linux_shared::TextRenderer& text);
  // Binds what the compositor offers and reads its outputs; throws when something is missing.
  void start(const std::string& name);

  static const wl_registry_listener kRegistryListener;
  static const wl_seat_listener kSeatListener;
  static const wl_pointer_listener kPointerListener;
  static const wl_keyboard_listener kKeyboardListener;
  static const zwp_relative_pointer_v1_listener kRelativeListener;
  static const xdg_wm_base_listener kWmBaseListener;
  static const zwlr_layer_surface_v1_listener kLayerListener;
  static const xdg_surface_listener kXdgSurfaceListener;
  static const xdg_toplevel_listener kToplevelListener;
  static const wl_surface_listener kSurfaceListener;
  static const wp_fractional_scale_v1_listener kFractionalListener;

  void announced(wl_registry* registry, std::uint32_t name, const char* interface,
                 std::uint32_t version);
  void removed(std::uint32_t name);
  void seatCapabilities(std::uint32_t capabilities);
  // The window's surface was configured to the size given, in the compositor's logical pixels
  // (zero: the window's own).
  void configured(Window& window, ScreenSize size);
  // The compositor prefers this scale for the window's surface.
  void preferred(Window& window, double scale);
  void report(const SaverInput& input, WindowKey window);
  // The pointer at (x, y) of the surface it is over.
  void moved(wl_fixed_t x, wl_fixed_t y);
  // The pointer moved by (dx, dy), to where the last position said.
  void movedBy(wl_fixed_t dx, wl_fixed_t dy);
  WindowKey keyOf(wl_surface* surface) const;
  // Gives each window its output's scale, where that changed.
  void followScales();
  // Without a viewport: the surface's buffer scale for the window's scale.
  void setBufferScale(Window& window);
  // Reads the compositor's events until every output has described itself.
  void settle();
  // Throws when the connection has failed.
  void check(int result);

  wl_display* display_;
  linux_shared::TextRenderer& text_;
  linux_shared::MainThreadSleep sleep_;
  wl_registry* registry_ = nullptr;
  wl_compositor* compositor_ = nullptr;
  // Where offered: a toplevel's pointer nudge.
  wl_subcompositor* subcompositor_ = nullptr;
  wl_shm* shm_ = nullptr;
  zwlr_layer_shell_v1* layerShell_ = nullptr;
  xdg_wm_base* wmBase_ = nullptr;
  zxdg_output_manager_v1* logicalOutputs_ = nullptr;
  zwp_relative_pointer_manager_v1* relativePointers_ = nullptr;
  // Where offered: the scale the compositor prefers for a surface, and buffers of the device's
  // pixels shown at the logical size, for a scale of no whole number.
  wp_fractional_scale_manager_v1* fractionalScale_ = nullptr;
  wp_viewporter* viewporter_ = nullptr;
  wl_seat* seat_ = nullptr;
  wl_pointer* pointer_ = nullptr;
  zwp_relative_pointer_v1* relativePointer_ = nullptr;
  wl_keyboard* keyboard_ = nullptr;
  std::vector<std::unique_ptr<WaylandOutput>> outputs_;
  std::map<WindowKey, std::unique_ptr<Window>> windows_;
  // The events' receiver while dispatch runs, else nothing.
  WindowEvents* events_ = nullptr;
  WindowKey pointerOver_ = kNoWindow;
  wl_fixed_t pointerX_ = 0, pointerY_ = 0;
  int buttonsHeld_ = 0;
};

// Wayland leaves the pointer over a surface to the surface's client, which hides it, and has no
// screen-saver switch for a client to set: there is nothing on the desktop to take or give back.
class WaylandDesktop final : public SystemSettings {
 public:
  void showCursor(bool) override {}
  std::optional<bool> screenSaverActive() override { return std::nullopt; }
  void setScreenSaverActive(bool) override {}
};

}  // namespace drevanti::wayland_platform
