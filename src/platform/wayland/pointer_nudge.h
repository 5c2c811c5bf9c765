// A full-screen toplevel's child surface of one see-through pixel that takes no input, added once
// the toplevel shows frames. mutter (43) tells a toplevel that appeared under a still pointer
// about the pointer only when it moves or when its windows are laid out anew, which a new child
// surface causes; until then the pointer is not hidden. The toplevel itself keeps its size: a
// full-screen window of another size is centred on its monitor, and left half a pixel off when
// the shell misses its growing back.
#pragma once

#include <wayland-client.h>

namespace drevanti::wayland_platform {

class PointerNudge {
 public:
  // On the main thread. Throws when the pixel's memory cannot be had.
  PointerNudge(wl_compositor* compositor, wl_subcompositor* subcompositor, wl_shm* shm,
               wl_surface* parent);
  ~PointerNudge();
  PointerNudge(const PointerNudge&) = delete;
  PointerNudge& operator=(const PointerNudge&) = delete;

  // Adds the child surface with the parent's next commit; from any thread, once.
  void add();

 private:
  wl_subcompositor* subcompositor_;
  wl_surface* parent_;
  wl_surface* surface_ = nullptr;
  wl_buffer* pixel_ = nullptr;
  wl_subsurface* child_ = nullptr;
};

}  // namespace drevanti::wayland_platform
