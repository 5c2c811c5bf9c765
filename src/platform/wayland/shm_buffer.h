// One frame's pixels in memory shared with the compositor: a wl_buffer of 32-bit XRGB pixels and
// an SDL surface on the same memory, for the surface canvas to draw on. Busy from the moment it is
// committed until the compositor has released it: meanwhile the compositor may read it at any
// time. Made and let go on the main thread, which hears of the releases; committed on any.
#pragma once

#include <SDL.h>
#include <wayland-client.h>

#include <atomic>
#include <cstddef>

#include "state/screen_size.h"

namespace drevanti::wayland_platform {

class ShmBuffer {
 public:
  // Throws when the memory cannot be had.
  ShmBuffer(wl_shm* shm, ScreenSize size);
  ~ShmBuffer();
  ShmBuffer(const ShmBuffer&) = delete;
  ShmBuffer& operator=(const ShmBuffer&) = delete;

  wl_buffer* buffer() const { return buffer_; }
  SDL_Surface* surface() const { return surface_; }
  ScreenSize size() const { return size_; }
  bool busy() const { return held_; }
  void committed() { held_ = true; }

 private:
  static void released(void* data, wl_buffer*);

  ScreenSize size_;
  std::size_t bytes_;
  void* pixels_ = nullptr;
  wl_buffer* buffer_ = nullptr;
  SDL_Surface* surface_ = nullptr;
  // Committed and not released yet.
  std::atomic<bool> held_{false};
};

}  // namespace drevanti::wayland_platform
