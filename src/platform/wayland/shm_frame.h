// One surface's frames on Wayland. The demonstration draws into one of two shared-memory buffers;
// a present commits it and gives the demonstration the other buffer to draw on. Every frame is
// drawn whole, so the other buffer's old pixels need no copy of the new ones; a present with
// nothing drawn since the last (a refresh) commits the buffer last committed again. A buffer the
// compositor still reads is never drawn on: the present is done only once it has been released.
#pragma once

#include <wayland-client.h>

#include <array>
#include <memory>

#include "app/backend.h"
#include "frame_canvas.h"
#include "platform/linux_shared/surface_canvas.h"
#include "platform/linux_shared/text_renderer.h"
#include "shm_buffer.h"

namespace drevanti::wayland_platform {

class ShmFrame final : public FrameTarget {
 public:
  ShmFrame(wl_shm* shm, wl_surface* surface, ScreenSize size, linux_shared::TextRenderer& text);

  Canvas& canvas() override { return canvas_; }
  bool present() override;
  void resize(ScreenSize size) override;

  // The surface may show buffers from now on (its first configure was acknowledged); a frame
  // presented before is shown now.
  void configured();
  // The surface shows nothing any more: presents are done at once.
  void gone();

 private:
  struct Slot {
    std::unique_ptr<ShmBuffer> buffer;
    std::unique_ptr<linux_shared::SurfaceCanvas> canvas;
  };
  void allocate();
  void drawOn(int slot);
  // Commits the frame waiting to be shown, if the surface can show it.
  void commitWaiting();
  // Commits the frame last committed again, unless a newer one waits.
  void commitShownAgain();
  void commit(int slot);

  wl_shm* shm_;
  wl_surface* surface_;
  linux_shared::TextRenderer& text_;
  ScreenSize size_;
  std::array<Slot, 2> slots_;
  FrameCanvas canvas_;
  // The slot the demonstration draws on; the other may be on the screen.
  int drawing_ = 0;
  // A presented frame the surface could not show yet, or -1.
  int waiting_ = -1;
  // The slot last committed, or -1.
  int shown_ = -1;
  bool configured_ = false;
  bool gone_ = false;
  // The present in progress has committed its frame and waits for a buffer to draw on.
  bool committed_ = false;
};

}  // namespace drevanti::wayland_platform
