// One surface's frames on Wayland. The demonstration draws, on its own thread, into one of two
// shared-memory buffers; only the program's main thread speaks to the compositor, so when the
// demonstration presents, it hands the buffer over and waits until the main thread has committed
// it and given it the other buffer to draw on. Every frame is drawn whole, so the other buffer's
// old pixels need no copy of the new ones; a present with nothing drawn since the last (a
// refresh) commits the buffer last committed again. A buffer the compositor still reads is never
// drawn on: the main thread waits for its release before it hands it back.
#pragma once

#include <wayland-client.h>

#include <array>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

#include "app/hosted_window.h"
#include "frame_canvas.h"
#include "platform/linux/surface_canvas.h"
#include "platform/linux/text_renderer.h"
#include "shm_buffer.h"

namespace drevanti::wayland_platform {

class ShmFrame final : public FrameTarget {
 public:
  // On the main thread. wake tells the main thread, from any thread, that a frame or a resize
  // waits.
  ShmFrame(wl_shm* shm, wl_surface* surface, ScreenSize size, linux_platform::TextRenderer& text,
           std::function<void()> wake);

  // The demonstration's side.
  Canvas& canvas() override { return canvas_; }
  void present() override;
  void resize(ScreenSize size) override;

  // The main thread's side. The surface may show buffers from now on (its first configure was
  // acknowledged); a frame presented before is shown now.
  void configured();
  // The surface shows nothing any more: presents are let go at once.
  void gone();
  // Does what was handed over, as far as the buffers' state allows, and lets the demonstration go
  // on once it is done.
  void serve();
  // The main thread serves no more: every present from now on returns at once.
  void abandon();
  // Once a few frames are shown, shows one a row short and then the whole frames again: mutter
  // (43) tells a toplevel that appeared under a still pointer about the pointer only when it
  // moves, or when the surface changes its size (so the pointer could not be hidden).
  void changeSizeOnce() { sizeChangeAt_ = kSizeChangeCommit; }

 private:
  enum class Request { None, Present, Refresh, Resize };
  struct Slot {
    std::unique_ptr<ShmBuffer> buffer;
    std::unique_ptr<linux_platform::SurfaceCanvas> canvas;
  };
  void allocate();
  void drawOn(int slot);
  // Commits the frame waiting to be shown, if the surface can show it.
  void commitWaiting();
  // Commits the frame last committed again, unless a newer one waits.
  void commitShownAgain();
  void commit(int slot);
  void done();

  wl_shm* shm_;
  wl_surface* surface_;
  linux_platform::TextRenderer& text_;
  std::function<void()> wake_;
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
  std::mutex mutex_;
  std::condition_variable done_;
  Request request_ = Request::None;
  // The present in progress has committed its frame and waits for a buffer to draw on.
  bool committed_ = false;
  bool abandoned_ = false;
  // The commit that shows the frame a row short, counted from the first; none when 0.
  static constexpr int kSizeChangeCommit = 3;
  int sizeChangeAt_ = 0;
  int commits_ = 0;
};

}  // namespace drevanti::wayland_platform
