#include "shm_buffer.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

namespace drevanti::wayland_platform {

namespace {

constexpr int kBytesPerPixel = 4;

std::runtime_error systemError(const std::string& what) {
  return std::runtime_error(what + ": " + std::strerror(errno));
}

}  // namespace

ShmBuffer::ShmBuffer(wl_shm* shm, ScreenSize size)
    : size_(size),
      bytes_(static_cast<std::size_t>(size.width) * static_cast<std::size_t>(size.height) *
             kBytesPerPixel) {
  const int stride = size.width * kBytesPerPixel;
  const int fd = memfd_create("drevanti-frame", MFD_CLOEXEC);
  if (fd < 0) throw systemError("cannot make a frame buffer");
  if (ftruncate(fd, static_cast<off_t>(bytes_)) != 0) {
    const auto error =
        systemError("cannot make a frame buffer of " + std::to_string(bytes_) + " bytes");
    close(fd);
    throw error;
  }
  pixels_ = mmap(nullptr, bytes_, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  if (pixels_ == MAP_FAILED) {
    const auto error = systemError("cannot map a frame buffer");
    close(fd);
    throw error;
  }
  // The compositor maps the memory itself: the descriptor is no longer needed once it is sent.
  wl_shm_pool* pool = wl_shm_create_pool(shm, fd, static_cast<int32_t>(bytes_));
  buffer_ =
      wl_shm_pool_create_buffer(pool, 0, size.width, size.height, stride, WL_SHM_FORMAT_XRGB8888);
  static const wl_buffer_listener listener{&ShmBuffer::released};
  wl_buffer_add_listener(buffer_, &listener, this);
  wl_shm_pool_destroy(pool);
  close(fd);
  // SDL's ARGB8888 is wl_shm's XRGB8888 in native byte order, with the unused byte written as
  // opaque alpha: a screenshot that reads the pixels as ARGB (weston 10's) sees what is shown.
  surface_ = SDL_CreateRGBSurfaceWithFormatFrom(pixels_, size.width, size.height, 32, stride,
                                                SDL_PIXELFORMAT_ARGB8888);
  if (!surface_) {
    wl_buffer_destroy(buffer_);
    munmap(pixels_, bytes_);
    throw std::runtime_error(std::string("cannot draw on a frame buffer: ") + SDL_GetError());
  }
}

ShmBuffer::~ShmBuffer() {
  SDL_FreeSurface(surface_);
  wl_buffer_destroy(buffer_);
  munmap(pixels_, bytes_);
}

void ShmBuffer::released(void* data, wl_buffer*) {
  static_cast<ShmBuffer*>(data)->held_ = false;
}

}  // namespace drevanti::wayland_platform
