#include "wayland_window_system.h"

#include <linux/input-event-codes.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace drevanti::wayland_platform {

namespace {

constexpr const char* kTitle = "シュタイナー問題";
constexpr const char* kAppId = "drevanti";
// The newest version of each interface whose events the listeners below take.
constexpr std::uint32_t kCompositorVersion = 4;  // wl_surface.damage_buffer
constexpr std::uint32_t kSeatVersion = 5;
constexpr std::uint32_t kOutputVersion = 2;  // wl_output.done and scale
constexpr std::uint32_t kLogicalOutputVersion = 3;
// Round trips to wait at most for the outputs to describe themselves.
constexpr int kSettleTrips = 3;
constexpr std::uint32_t kAllEdges =
    ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
    ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT;

WaylandWindowSystem& systemOf(void* data) {
  return *static_cast<WaylandWindowSystem*>(data);
}

template <class T>
T* bind(wl_registry* registry, std::uint32_t name, const wl_interface& interface,
        std::uint32_t offered, std::uint32_t wanted) {
  return static_cast<T*>(wl_registry_bind(registry, name, &interface, std::min(offered, wanted)));
}

// The buttons held, as SaverInput counts them.
int buttonBit(std::uint32_t button) {
  switch (button) {
    case BTN_LEFT:
      return 1;
    case BTN_RIGHT:
      return 2;
    case BTN_MIDDLE:
      return 4;
    default:
      return 0;
  }
}

}  // namespace

struct WaylandWindowSystem::Window {
  WaylandWindowSystem* system;
  WindowKey key;
  wl_surface* surface = nullptr;
  zwlr_layer_surface_v1* layer = nullptr;
  xdg_surface* shell = nullptr;
  xdg_toplevel* toplevel = nullptr;
  // In device pixels, scale to the compositor's logical one.
  ScreenSize size;
  double scale = 1;
  WaylandOutput* output = nullptr;
  bool entered = false;
  wp_fractional_scale_v1* fractional = nullptr;
  wp_viewport* viewport = nullptr;
  // The toplevel's size in its configure, applied with the surface's.
  ScreenSize toplevelSize;
  std::unique_ptr<ShmFrame> frame;
};

std::unique_ptr<WaylandWindowSystem> WaylandWindowSystem::connect(
    linux_shared::TextRenderer& text) {
  const char* name = std::getenv("WAYLAND_DISPLAY");
  if (!name || !*name) return nullptr;
  wl_display* display = wl_display_connect(nullptr);
  if (!display) return nullptr;
  std::unique_ptr<WaylandWindowSystem> system(new WaylandWindowSystem(display, text));
  system->start(name);
  return system;
}

WaylandWindowSystem::WaylandWindowSystem(wl_display* display, linux_shared::TextRenderer& text)
    : display_(display), text_(text) {}

void WaylandWindowSystem::start(const std::string& name) {
  registry_ = wl_display_get_registry(display_);
  wl_registry_add_listener(registry_, &kRegistryListener, this);
  check(wl_display_roundtrip(display_));
  std::string missing;
  if (!compositor_) missing += " wl_compositor";
  if (!shm_) missing += " wl_shm";
  if (!layerShell_ && !wmBase_) missing += " zwlr_layer_shell_v1 or xdg_wm_base";
  if (!missing.empty()) {
    throw std::runtime_error("the Wayland compositor at WAYLAND_DISPLAY=" + name + " lacks" +
                             missing);
  }
  settle();
}

WaylandWindowSystem::~WaylandWindowSystem() {
  while (!windows_.empty()) close(windows_.begin()->first);
  outputs_.clear();
  if (keyboard_) wl_keyboard_destroy(keyboard_);
  if (relativePointer_) zwp_relative_pointer_v1_destroy(relativePointer_);
  if (pointer_) wl_pointer_destroy(pointer_);
  if (relativePointers_) zwp_relative_pointer_manager_v1_destroy(relativePointers_);
  if (seat_) wl_seat_destroy(seat_);
  if (logicalOutputs_) zxdg_output_manager_v1_destroy(logicalOutputs_);
  if (fractionalScale_) wp_fractional_scale_manager_v1_destroy(fractionalScale_);
  if (viewporter_) wp_viewporter_destroy(viewporter_);
  if (wmBase_) xdg_wm_base_destroy(wmBase_);
  if (layerShell_) zwlr_layer_shell_v1_destroy(layerShell_);
  if (shm_) wl_shm_destroy(shm_);
  if (subcompositor_) wl_subcompositor_destroy(subcompositor_);
  if (compositor_) wl_compositor_destroy(compositor_);
  if (registry_) wl_registry_destroy(registry_);
  wl_display_disconnect(display_);
}

void WaylandWindowSystem::check(int result) {
  if (result >= 0) return;
  const int error = wl_display_get_error(display_);
  if (error == EPROTO) {
    const wl_interface* interface = nullptr;
    std::uint32_t id = 0;
    const std::uint32_t code = wl_display_get_protocol_error(display_, &interface, &id);
    throw std::runtime_error(std::string("the Wayland compositor ended the connection: error ") +
                             std::to_string(code) + " on " +
                             (interface ? interface->name : "an object"));
  }
  throw std::runtime_error(std::string("the connection to the Wayland compositor failed: ") +
                           std::strerror(error ? error : errno));
}

// --- Globals, outputs and the seat ------------------------------------------------------------

const wl_registry_listener WaylandWindowSystem::kRegistryListener = {
    .global =
        [](void* data, wl_registry* registry, std::uint32_t name, const char* interface,
           std::uint32_t version) { systemOf(data).announced(registry, name, interface, version); },
    .global_remove = [](void* data, wl_registry*,
                        std::uint32_t name) { systemOf(data).removed(name); },
};

void WaylandWindowSystem::announced(wl_registry* registry, std::uint32_t name,
                                    const char* interface, std::uint32_t version) {
  const std::string_view is = interface;
  if (is == wl_compositor_interface.name) {
    compositor_ =
        bind<wl_compositor>(registry, name, wl_compositor_interface, version, kCompositorVersion);
  } else if (is == wl_subcompositor_interface.name) {
    subcompositor_ = bind<wl_subcompositor>(registry, name, wl_subcompositor_interface, version, 1);
  } else if (is == wl_shm_interface.name) {
    shm_ = bind<wl_shm>(registry, name, wl_shm_interface, version, 1);
  } else if (is == zwlr_layer_shell_v1_interface.name) {
    // Version 3 is the first that can be let go of.
    layerShell_ = bind<zwlr_layer_shell_v1>(registry, name, zwlr_layer_shell_v1_interface, version,
                                            ZWLR_LAYER_SHELL_V1_DESTROY_SINCE_VERSION);
  } else if (is == xdg_wm_base_interface.name) {
    wmBase_ = bind<xdg_wm_base>(registry, name, xdg_wm_base_interface, version, 1);
    xdg_wm_base_add_listener(wmBase_, &kWmBaseListener, this);
  } else if (is == zxdg_output_manager_v1_interface.name) {
    logicalOutputs_ = bind<zxdg_output_manager_v1>(registry, name, zxdg_output_manager_v1_interface,
                                                   version, kLogicalOutputVersion);
    for (const auto& output : outputs_) output->watchLogical(logicalOutputs_);
  } else if (is == zwp_relative_pointer_manager_v1_interface.name) {
    relativePointers_ = bind<zwp_relative_pointer_manager_v1>(
        registry, name, zwp_relative_pointer_manager_v1_interface, version, 1);
  } else if (is == wp_fractional_scale_manager_v1_interface.name) {
    fractionalScale_ = bind<wp_fractional_scale_manager_v1>(
        registry, name, wp_fractional_scale_manager_v1_interface, version, 1);
  } else if (is == wp_viewporter_interface.name) {
    viewporter_ = bind<wp_viewporter>(registry, name, wp_viewporter_interface, version, 1);
  } else if (is == wl_seat_interface.name && !seat_) {
    seat_ = bind<wl_seat>(registry, name, wl_seat_interface, version, kSeatVersion);
    wl_seat_add_listener(seat_, &kSeatListener, this);
  } else if (is == wl_output_interface.name) {
    outputs_.push_back(std::make_unique<WaylandOutput>(
        bind<wl_output>(registry, name, wl_output_interface, version, kOutputVersion), name,
        logicalOutputs_));
  }
}

void WaylandWindowSystem::removed(std::uint32_t name) {
  for (auto& [key, window] : windows_) {
    if (window->output && window->output->name() == name) window->output = nullptr;
  }
  std::erase_if(outputs_, [&](const auto& output) { return output->name() == name; });
}

void WaylandWindowSystem::settle() {
  // An output describes itself in the round trip after the one that announced it.
  const auto described = [this] {
    return std::all_of(outputs_.begin(), outputs_.end(), [](const auto& o) { return o->place(); });
  };
  for (int trip = 0; trip < kSettleTrips && !described(); ++trip)
    check(wl_display_roundtrip(display_));
}

std::vector<Monitor> WaylandWindowSystem::monitors() {
  settle();
  return placesOf(outputs_);
}

const xdg_wm_base_listener WaylandWindowSystem::kWmBaseListener = {
    .ping = [](void*, xdg_wm_base* base, std::uint32_t serial) { xdg_wm_base_pong(base, serial); },
};

const wl_seat_listener WaylandWindowSystem::kSeatListener = {
    .capabilities =
        [](void* data, wl_seat*, std::uint32_t capabilities) {
          systemOf(data).seatCapabilities(capabilities);
        },
    .name = [](void*, wl_seat*, const char*) {},
};

void WaylandWindowSystem::seatCapabilities(std::uint32_t capabilities) {
  const bool pointer = capabilities & WL_SEAT_CAPABILITY_POINTER;
  const bool keyboard = capabilities & WL_SEAT_CAPABILITY_KEYBOARD;
  if (pointer && !pointer_) {
    pointer_ = wl_seat_get_pointer(seat_);
    wl_pointer_add_listener(pointer_, &kPointerListener, this);
    if (relativePointers_) {
      relativePointer_ =
          zwp_relative_pointer_manager_v1_get_relative_pointer(relativePointers_, pointer_);
      zwp_relative_pointer_v1_add_listener(relativePointer_, &kRelativeListener, this);
    }
  } else if (!pointer && pointer_) {
    if (relativePointer_) zwp_relative_pointer_v1_destroy(std::exchange(relativePointer_, nullptr));
    wl_pointer_release(pointer_);
    pointer_ = nullptr;
    pointerOver_ = kNoWindow;
  }
  if (keyboard && !keyboard_) {
    keyboard_ = wl_seat_get_keyboard(seat_);
    wl_keyboard_add_listener(keyboard_, &kKeyboardListener, this);
  } else if (!keyboard && keyboard_) {
    wl_keyboard_release(keyboard_);
    keyboard_ = nullptr;
  }
}

// --- Input ------------------------------------------------------------------------------------

WindowKey WaylandWindowSystem::keyOf(wl_surface* surface) const {
  for (const auto& [key, window] : windows_) {
    if (surface && window->surface == surface) return key;
  }
  return kNoWindow;
}

void WaylandWindowSystem::report(const SaverInput& input, WindowKey window) {
  if (events_) events_->input(window, input);
}

void WaylandWindowSystem::moved(wl_fixed_t x, wl_fixed_t y) {
  pointerX_ = x, pointerY_ = y;
  // In the window's device pixels, as every window's input is.
  const auto found = windows_.find(pointerOver_);
  const double scale = found == windows_.end() ? 1 : found->second->scale;
  report({.kind = SaverInput::Kind::MouseMove,
          .button = buttonsHeld_,
          .x = static_cast<float>(wl_fixed_to_double(x) * scale),
          .y = static_cast<float>(wl_fixed_to_double(y) * scale)},
         pointerOver_);
}

void WaylandWindowSystem::movedBy(wl_fixed_t dx, wl_fixed_t dy) {
  if (dx == 0 && dy == 0) return;
  // Where it was before: the pointer's first position over a surface is no movement of itself,
  // and a compositor (mutter) may tell it only with the movement that followed.
  const wl_fixed_t x = pointerX_, y = pointerY_;
  moved(x - dx, y - dy);
  moved(x, y);
}

const wl_pointer_listener WaylandWindowSystem::kPointerListener = {
    .enter =
        [](void* data, wl_pointer* pointer, std::uint32_t serial, wl_surface* surface, wl_fixed_t x,
           wl_fixed_t y) {
          WaylandWindowSystem& system = systemOf(data);
          // No cursor image: the pointer is hidden over the saver's surfaces.
          wl_pointer_set_cursor(pointer, serial, nullptr, 0, 0);
          system.pointerOver_ = system.keyOf(surface);
          system.moved(x, y);
        },
    .leave = [](void* data, wl_pointer*, std::uint32_t,
                wl_surface*) { systemOf(data).pointerOver_ = kNoWindow; },
    .motion = [](void* data, wl_pointer*, std::uint32_t, wl_fixed_t x,
                 wl_fixed_t y) { systemOf(data).moved(x, y); },
    .button =
        [](void* data, wl_pointer*, std::uint32_t, std::uint32_t, std::uint32_t button,
           std::uint32_t state) {
          WaylandWindowSystem& system = systemOf(data);
          if (state != WL_POINTER_BUTTON_STATE_PRESSED) {
            system.buttonsHeld_ &= ~buttonBit(button);
            return;
          }
          system.buttonsHeld_ |= buttonBit(button);
          system.report({.kind = SaverInput::Kind::Click}, system.pointerOver_);
        },
    .axis = [](void*, wl_pointer*, std::uint32_t, std::uint32_t, wl_fixed_t) {},
    .frame = [](void*, wl_pointer*) {},
    .axis_source = [](void*, wl_pointer*, std::uint32_t) {},
    .axis_stop = [](void*, wl_pointer*, std::uint32_t, std::uint32_t) {},
    .axis_discrete = [](void*, wl_pointer*, std::uint32_t, std::int32_t) {},
    .axis_value120 = nullptr,
};

// The pointer's movement as the device made it, sent only while it is over one of the saver's
// surfaces; also where its position does not change (pushed against a monitor's edge).
const zwp_relative_pointer_v1_listener WaylandWindowSystem::kRelativeListener = {
    .relative_motion = [](void* data, zwp_relative_pointer_v1*, std::uint32_t, std::uint32_t,
                          wl_fixed_t dx, wl_fixed_t dy, wl_fixed_t,
                          wl_fixed_t) { systemOf(data).movedBy(dx, dy); },
};

const wl_keyboard_listener WaylandWindowSystem::kKeyboardListener = {
    // Any key ends the saver: the keymap is not needed.
    .keymap = [](void*, wl_keyboard*, std::uint32_t, std::int32_t fd,
                 std::uint32_t) { ::close(fd); },
    // Keys already held when the surface gets the keyboard are not the user's new input.
    .enter = [](void*, wl_keyboard*, std::uint32_t, wl_surface*, wl_array*) {},
    .leave = [](void*, wl_keyboard*, std::uint32_t, wl_surface*) {},
    .key =
        [](void* data, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t key,
           std::uint32_t state) {
          if (state != WL_KEYBOARD_KEY_STATE_PRESSED) return;
          systemOf(data).report(
              {.kind = SaverInput::Kind::KeyDown, .keyCode = static_cast<int>(key)}, kNoWindow);
        },
    .modifiers = [](void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t,
                    std::uint32_t) {},
    .repeat_info = [](void*, wl_keyboard*, std::int32_t, std::int32_t) {},
};

// --- Windows ----------------------------------------------------------------------------------

const zwlr_layer_surface_v1_listener WaylandWindowSystem::kLayerListener = {
    .configure =
        [](void* data, zwlr_layer_surface_v1* layer, std::uint32_t serial, std::uint32_t width,
           std::uint32_t height) {
          Window& window = *static_cast<Window*>(data);
          zwlr_layer_surface_v1_ack_configure(layer, serial);
          window.system->configured(window, {static_cast<int>(width), static_cast<int>(height)});
        },
    // The output went, or the compositor took the surface away: the monitors' change that
    // follows retires the window.
    .closed = [](void* data, zwlr_layer_surface_v1*) { static_cast<Window*>(data)->frame->gone(); },
};

const xdg_surface_listener WaylandWindowSystem::kXdgSurfaceListener = {
    .configure =
        [](void* data, xdg_surface* shell, std::uint32_t serial) {
          Window& window = *static_cast<Window*>(data);
          xdg_surface_ack_configure(shell, serial);
          window.system->configured(window, window.toplevelSize);
        },
};

const xdg_toplevel_listener WaylandWindowSystem::kToplevelListener = {
    .configure =
        [](void* data, xdg_toplevel*, std::int32_t width, std::int32_t height, wl_array*) {
          static_cast<Window*>(data)->toplevelSize = {width, height};
        },
    .close =
        [](void* data, xdg_toplevel*) {
          Window& window = *static_cast<Window*>(data);
          window.system->report({.kind = SaverInput::Kind::CloseRequest}, window.key);
        },
    .configure_bounds = nullptr,
    .wm_capabilities = nullptr,
};

const wl_surface_listener WaylandWindowSystem::kSurfaceListener = {
    .enter = [](void* data, wl_surface*,
                wl_output*) { static_cast<Window*>(data)->entered = true; },
    .leave = [](void*, wl_surface*, wl_output*) {},
};

const wp_fractional_scale_v1_listener WaylandWindowSystem::kFractionalListener = {
    .preferred_scale =
        [](void* data, wp_fractional_scale_v1*, std::uint32_t scale) {
          Window& window = *static_cast<Window*>(data);
          // In 120ths.
          window.system->preferred(window, scale / 120.0);
        },
};

void WaylandWindowSystem::preferred(Window& window, double scale) {
  // Until the surface is on an output the compositor prefers a scale of 1 for it, which is no
  // output's.
  if (!window.entered || !window.output || scale <= 0) return;
  // The monitors' next report has the output's new scale: the owner gives its window that.
  window.output->prefer(scale);
}

void WaylandWindowSystem::configured(Window& window, ScreenSize size) {
  if (size.width > 0 && size.height > 0) {
    // The buffers have the device's pixels; the compositor shows them at the logical size.
    if (window.viewport) wp_viewport_set_destination(window.viewport, size.width, size.height);
    const ScreenSize device{static_cast<int>(std::lround(size.width * window.scale)),
                            static_cast<int>(std::lround(size.height * window.scale))};
    if (device != window.size) {
      window.size = device;
      if (events_) events_->resized(window.key, device);
    }
  }
  window.frame->configured();
}

FrameTarget& WaylandWindowSystem::open(WindowKey key, const Monitor& place) {
  auto window = std::make_unique<Window>();
  window->system = this;
  window->key = key;
  window->size = place.pixels;
  window->scale = place.scale;
  window->surface = wl_compositor_create_surface(compositor_);
  wl_surface_add_listener(window->surface, &kSurfaceListener, window.get());
  wl_output* output = nullptr;
  for (const auto& o : outputs_) {
    if (o->place() == place) {
      output = o->output();
      window->output = o.get();
    }
  }
  if (fractionalScale_) {
    window->fractional =
        wp_fractional_scale_manager_v1_get_fractional_scale(fractionalScale_, window->surface);
    wp_fractional_scale_v1_add_listener(window->fractional, &kFractionalListener, window.get());
  }
  const bool whole = place.scale == std::round(place.scale);
  if ((!whole || fractionalScale_) && viewporter_) {
    // Buffers of the device's pixels, shown at the logical size (configured).
    window->viewport = wp_viewporter_get_viewport(viewporter_, window->surface);
  } else {
    setBufferScale(*window);
  }
  if (layerShell_) {
    window->layer = zwlr_layer_shell_v1_get_layer_surface(
        layerShell_, window->surface, output, ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, kAppId);
    zwlr_layer_surface_v1_add_listener(window->layer, &kLayerListener, window.get());
    zwlr_layer_surface_v1_set_anchor(window->layer, kAllEdges);
    zwlr_layer_surface_v1_set_exclusive_zone(window->layer, -1);
    zwlr_layer_surface_v1_set_keyboard_interactivity(
        window->layer, ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_EXCLUSIVE);
  } else {
    window->shell = xdg_wm_base_get_xdg_surface(wmBase_, window->surface);
    xdg_surface_add_listener(window->shell, &kXdgSurfaceListener, window.get());
    window->toplevel = xdg_surface_get_toplevel(window->shell);
    xdg_toplevel_add_listener(window->toplevel, &kToplevelListener, window.get());
    xdg_toplevel_set_title(window->toplevel, kTitle);
    xdg_toplevel_set_app_id(window->toplevel, kAppId);
    xdg_toplevel_set_fullscreen(window->toplevel, output);
  }
  // The first commit carries no buffer: the compositor answers it with the first configure.
  wl_surface_commit(window->surface);
  window->frame =
      std::make_unique<ShmFrame>(display_, shm_, window->surface, window->size, place.scale, text_);
  if (window->toplevel && subcompositor_) {
    window->frame->nudgePointerWith(
        std::make_unique<PointerNudge>(compositor_, subcompositor_, shm_, window->surface));
  }
  FrameTarget& frames = *window->frame;
  windows_[key] = std::move(window);
  return frames;
}

void WaylandWindowSystem::close(WindowKey key) {
  const auto found = windows_.find(key);
  if (found == windows_.end()) return;
  Window& window = *found->second;
  if (window.layer) zwlr_layer_surface_v1_destroy(window.layer);
  if (window.toplevel) xdg_toplevel_destroy(window.toplevel);
  if (window.shell) xdg_surface_destroy(window.shell);
  if (window.viewport) wp_viewport_destroy(window.viewport);
  if (window.fractional) wp_fractional_scale_v1_destroy(window.fractional);
  wl_surface_destroy(window.surface);
  if (pointerOver_ == key) pointerOver_ = kNoWindow;
  windows_.erase(found);
}

// --- The main thread's sleep ------------------------------------------------------------------

void WaylandWindowSystem::dispatch(WindowEvents& events) {
  const LentEvents lent(events_, events);
  while (wl_display_prepare_read(display_) != 0) check(wl_display_dispatch_pending(display_));
  // A full socket sends the rest with the next flush.
  if (wl_display_flush(display_) < 0 && errno != EAGAIN) check(-1);
  pollfd connection{wl_display_get_fd(display_), POLLIN, 0};
  sleep_.sleep({&connection, 1});
  if (connection.revents & (POLLIN | POLLERR | POLLHUP)) {
    check(wl_display_read_events(display_));
  } else {
    wl_display_cancel_read(display_);
  }
  check(wl_display_dispatch_pending(display_));
  followScales();
  events.monitorsChanged(placesOf(outputs_));
}

void WaylandWindowSystem::followScales() {
  for (auto& [key, window] : windows_) {
    const auto place = window->output ? window->output->place() : std::nullopt;
    if (!place || place->scale == window->scale) continue;
    // The owner gives the window's canvas the new scale; the surface takes it from the next
    // commit on.
    window->scale = place->scale;
    if (!window->viewport) setBufferScale(*window);
  }
}

void WaylandWindowSystem::setBufferScale(Window& window) {
  // Whole device pixels to a logical one: the buffers' sizes are multiples of them. Without a
  // viewport a scale of no whole number can only be shown unscaled.
  const bool whole = window.scale == std::round(window.scale);
  wl_surface_set_buffer_scale(window.surface,
                              whole ? std::max(1, static_cast<int>(window.scale)) : 1);
}

}  // namespace drevanti::wayland_platform
