// The compositor's outputs as monitors: each output's place in the compositor's logical layout
// (from xdg-output where the compositor offers it, else from the output's own position, mode and
// scale), known once the output has sent its first done, with its device pixels (the mode) and
// scale: the mode over the logical size (a fractional one where the compositor scales so), the
// output's own where the layout is in device pixels, or a surface's preferred scale on it once
// one was told.
#pragma once

#include <wayland-client.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "app/backend.h"
#include "xdg-output-unstable-v1-client.h"

namespace drevanti::wayland_platform {

class WaylandOutput {
 public:
  // Takes the bound output; logical may be null.
  WaylandOutput(wl_output* output, std::uint32_t name, zxdg_output_manager_v1* logical);
  ~WaylandOutput();
  WaylandOutput(const WaylandOutput&) = delete;
  WaylandOutput& operator=(const WaylandOutput&) = delete;

  // For an xdg-output manager announced after the output.
  void watchLogical(zxdg_output_manager_v1* logical);
  wl_output* output() const { return output_; }
  std::uint32_t name() const { return name_; }
  // Nothing until the output has described itself.
  std::optional<Monitor> place() const;
  // The scale the compositor prefers for a surface on this output (fractional-scale).
  void prefer(double scale) { preferred_ = scale; }

 private:
  static const wl_output_listener kOutputListener;
  static const zxdg_output_v1_listener kLogicalListener;

  wl_output* output_;
  std::uint32_t name_;
  zxdg_output_v1* logical_ = nullptr;
  bool done_ = false;
  int x_ = 0, y_ = 0, width_ = 0, height_ = 0, scale_ = 1;
  // From xdg-output, once it has told the size.
  Monitor logicalPlace_;
  bool logicalKnown_ = false;
  double preferred_ = 0;
};

// The places of the outputs that have described themselves, in the order they were announced.
std::vector<Monitor> placesOf(const std::vector<std::unique_ptr<WaylandOutput>>& outputs);

}  // namespace drevanti::wayland_platform
