// The full-screen saver on a Wayland compositor, without SDL's video: one surface and one
// demonstration on every output, until a key, a click or a pointer movement on any of them, or
// SIGTERM or SIGINT.
#pragma once

#include <cstdint>
#include <optional>

namespace drevanti::wayland_platform {

// Runs it on the compositor WAYLAND_DISPLAY names and returns the program's exit code; nothing
// (and nothing done) when WAYLAND_DISPLAY names none, or none answers there. Made first in main,
// before any other thread.
std::optional<int> runFullScreenOnWayland(std::uint32_t seed);

}  // namespace drevanti::wayland_platform
