#include "wayland_outputs.h"

#include <algorithm>
#include <cmath>

namespace drevanti::wayland_platform {

namespace {

template <class T>
T& self(void* data) {
  return *static_cast<T*>(data);
}

}  // namespace

// The listeners' members are told by the protocol, one for every event of the bound versions.
const wl_output_listener WaylandOutput::kOutputListener = {
    .geometry =
        [](void* data, wl_output*, int32_t x, int32_t y, int32_t, int32_t, int32_t, const char*,
           const char*, int32_t) {
          self<WaylandOutput>(data).x_ = x;
          self<WaylandOutput>(data).y_ = y;
        },
    .mode =
        [](void* data, wl_output*, uint32_t flags, int32_t width, int32_t height, int32_t) {
          if (!(flags & WL_OUTPUT_MODE_CURRENT)) return;
          self<WaylandOutput>(data).width_ = width;
          self<WaylandOutput>(data).height_ = height;
        },
    .done = [](void* data, wl_output*) { self<WaylandOutput>(data).done_ = true; },
    .scale = [](void* data, wl_output*,
                int32_t factor) { self<WaylandOutput>(data).scale_ = factor > 0 ? factor : 1; },
    .name = nullptr,
    .description = nullptr,
};

const zxdg_output_v1_listener WaylandOutput::kLogicalListener = {
    .logical_position =
        [](void* data, zxdg_output_v1*, int32_t x, int32_t y) {
          self<WaylandOutput>(data).logicalPlace_.x = x;
          self<WaylandOutput>(data).logicalPlace_.y = y;
        },
    .logical_size =
        [](void* data, zxdg_output_v1*, int32_t width, int32_t height) {
          WaylandOutput& output = self<WaylandOutput>(data);
          output.logicalPlace_.width = width;
          output.logicalPlace_.height = height;
          output.logicalKnown_ = true;
        },
    // Version 3 of xdg-output ends each description with the output's own done instead.
    .done = [](void*, zxdg_output_v1*) {},
    .name = [](void*, zxdg_output_v1*, const char*) {},
    .description = [](void*, zxdg_output_v1*, const char*) {},
};

WaylandOutput::WaylandOutput(wl_output* output, std::uint32_t name, zxdg_output_manager_v1* logical)
    : output_(output), name_(name) {
  wl_output_add_listener(output_, &kOutputListener, this);
  if (logical) watchLogical(logical);
}

WaylandOutput::~WaylandOutput() {
  if (logical_) zxdg_output_v1_destroy(logical_);
  if (wl_output_get_version(output_) >= WL_OUTPUT_RELEASE_SINCE_VERSION) {
    wl_output_release(output_);
  } else {
    wl_output_destroy(output_);
  }
}

void WaylandOutput::watchLogical(zxdg_output_manager_v1* logical) {
  if (logical_) return;
  logical_ = zxdg_output_manager_v1_get_xdg_output(logical, output_);
  zxdg_output_v1_add_listener(logical_, &kLogicalListener, this);
}

std::optional<Monitor> WaylandOutput::place() const {
  if (!done_) return std::nullopt;
  const Monitor logical =
      logicalKnown_ ? logicalPlace_ : Monitor{x_, y_, width_ / scale_, height_ / scale_};
  // The device's pixels to one of the layout's: the mode over the logical size (the mode is the
  // output's own, unturned; the logical size is turned as the output is).
  const int longest = std::max(logical.width, logical.height);
  double perLayout = scale_;
  if (logicalKnown_ && longest > 0 && width_ > 0 && height_ > 0) {
    perLayout = static_cast<double>(std::max(width_, height_)) / longest;
  }
  // Where the compositor lays its outputs out in device pixels (mutter, unless it scales its
  // framebuffers) that is one, and the output's scale says the density.
  const double scale = preferred_ > 0 ? preferred_ : perLayout == 1 ? scale_ : perLayout;
  const auto device = [&](int v) { return static_cast<int>(std::lround(v * perLayout)); };
  return Monitor{.x = logical.x,
                 .y = logical.y,
                 .width = logical.width,
                 .height = logical.height,
                 .scale = scale,
                 .pixels = {device(logical.width), device(logical.height)}};
}

std::vector<Monitor> placesOf(const std::vector<std::unique_ptr<WaylandOutput>>& outputs) {
  std::vector<Monitor> places;
  for (const auto& output : outputs) {
    if (const auto place = output->place()) places.push_back(*place);
  }
  return places;
}

}  // namespace drevanti::wayland_platform
