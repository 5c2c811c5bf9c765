// One frame's pixels in memory shared with the compositor: a wl_buffer of 32-bit XRGB pixels and
// an SDL surface on the same memory, for the surface canvas to draw on, and a wl_buffer of the
// same pixels but the last logical row. Busy from the moment one is committed until the compositor
// has released both: meanwhile the compositor may read it at any time. Made and let go on the main
// thread, which hears of the releases; committed on any.
#pragma once

#include <SDL.h>
#include <wayland-client.h>

#include <atomic>
#include <cstddef>

#include "state/screen_size.h"

namespace drevanti::wayland_platform {

class ShmBuffer {
 public:
  // rowsPerLogical: the device rows of one logical row, by which the short buffer is shorter (a
  // buffer's size must stay a multiple of the surface's buffer scale). Throws when the memory
  // cannot be had.
  ShmBuffer(wl_shm* shm, ScreenSize size, int rowsPerLogical);
  ~ShmBuffer();
  ShmBuffer(const ShmBuffer&) = delete;
  ShmBuffer& operator=(const ShmBuffer&) = delete;

  wl_buffer* buffer() const { return buffer_; }
  // The same pixels a logical row short, or null when there is no more than that row.
  wl_buffer* shortBuffer() const { return short_; }
  SDL_Surface* surface() const { return surface_; }
  ScreenSize size() const { return size_; }
  bool busy() const { return held_ || shortHeld_; }
  // One of the two was committed.
  void committed(wl_buffer* buffer) { (buffer == short_ ? shortHeld_ : held_) = true; }

 private:
  static void released(void* data, wl_buffer* buffer);

  ScreenSize size_;
  std::size_t bytes_;
  void* pixels_ = nullptr;
  wl_buffer* buffer_ = nullptr;
  wl_buffer* short_ = nullptr;
  SDL_Surface* surface_ = nullptr;
  // Committed and not released yet, each.
  std::atomic<bool> held_{false};
  std::atomic<bool> shortHeld_{false};
};

}  // namespace drevanti::wayland_platform
