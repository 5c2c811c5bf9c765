#include "pointer_nudge.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

namespace drevanti::wayland_platform {

namespace {

constexpr int kPixelBytes = 4;

// One ARGB pixel of alpha 0: a new memory file reads as zeros.
wl_buffer* clearPixel(wl_shm* shm) {
  const int fd = memfd_create("drevanti-pixel", MFD_CLOEXEC);
  if (fd < 0 || ftruncate(fd, kPixelBytes) != 0) {
    const std::string why = std::strerror(errno);
    if (fd >= 0) close(fd);
    throw std::runtime_error("cannot make a pixel's buffer: " + why);
  }
  wl_shm_pool* pool = wl_shm_create_pool(shm, fd, kPixelBytes);
  wl_buffer* pixel = wl_shm_pool_create_buffer(pool, 0, 1, 1, kPixelBytes, WL_SHM_FORMAT_ARGB8888);
  wl_shm_pool_destroy(pool);
  close(fd);
  return pixel;
}

}  // namespace

PointerNudge::PointerNudge(wl_compositor* compositor, wl_subcompositor* subcompositor, wl_shm* shm,
                           wl_surface* parent)
    : subcompositor_(subcompositor), parent_(parent), pixel_(clearPixel(shm)) {
  surface_ = wl_compositor_create_surface(compositor);
  // An empty input region: the pointer stays the parent's even over this pixel.
  wl_region* nowhere = wl_compositor_create_region(compositor);
  wl_surface_set_input_region(surface_, nowhere);
  wl_region_destroy(nowhere);
}

PointerNudge::~PointerNudge() {
  if (child_) wl_subsurface_destroy(child_);
  wl_surface_destroy(surface_);
  wl_buffer_destroy(pixel_);
}

void PointerNudge::add() {
  if (child_) return;
  // At the parent's top left corner; a synchronized child's state waits for the parent's commit.
  child_ = wl_subcompositor_get_subsurface(subcompositor_, surface_, parent_);
  wl_surface_attach(surface_, pixel_, 0, 0);
  wl_surface_commit(surface_);
}

}  // namespace drevanti::wayland_platform
