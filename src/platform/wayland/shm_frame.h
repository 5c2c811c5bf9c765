// One surface's frames on Wayland. The demonstration draws into one of two shared-memory buffers
// and commits it itself (libwayland's requests may come from any thread); it draws on the other
// one next, once the compositor has released it, which the main thread hears of. Each buffer
// holds the frame drawn on it last, which the next frame on it starts from (its age); a commit
// damages only what changed since the frame committed before. A present with nothing drawn since
// the last (a refresh) commits the buffer last committed again. A buffer the compositor still
// reads is never drawn on.
#pragma once

#include <wayland-client.h>

#include <array>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "app/backend.h"
#include "frame_canvas.h"
#include "platform/linux_shared/surface_canvas.h"
#include "platform/linux_shared/text_renderer.h"
#include "pointer_nudge.h"
#include "shm_buffer.h"

namespace drevanti::wayland_platform {

class ShmFrame final : public FrameTarget {
 public:
  // On the main thread.
  ShmFrame(wl_display* display, wl_shm* shm, wl_surface* surface, ScreenSize size, double scale,
           linux_shared::TextRenderer& text);

  Canvas& canvas() override { return canvas_; }
  int canvasAge() override;
  // Commits the frame, and is done once the other buffer is free to draw on.
  bool present(const std::vector<Rect>& changed) override;
  bool finishPresent() override;
  void resize(ScreenSize size, double scale) override;

  // The main thread's news. The surface may show buffers from now on (its first configure was
  // acknowledged): a frame presented before is shown now.
  void configured();
  // The surface shows nothing any more: presents are done at once.
  void gone();
  // Adds the nudge's child surface once a few frames are shown.
  void nudgePointerWith(std::unique_ptr<PointerNudge> nudge) { nudge_ = std::move(nudge); }

 private:
  struct Slot {
    std::unique_ptr<ShmBuffer> buffer;
    std::unique_ptr<linux_shared::SurfaceCanvas> canvas;
    // The number of the frame drawn on it last, or -1.
    long frame = -1;
  };
  void allocate();
  void drawOn(int slot);
  // Draws on the other buffer from now on, if the compositor has let go of it.
  bool takeOther();
  // Commits the frame waiting to be shown, if the surface can show it.
  void commitWaiting();
  // Commits the frame last committed again, unless a newer one waits.
  void commitShownAgain();
  // Commits the slot, damaging the rectangles that changed since the buffer committed before.
  void commit(int slot, const std::vector<Rect>& changed);
  Rect whole() const;

  wl_display* display_;
  wl_shm* shm_;
  wl_surface* surface_;
  linux_shared::TextRenderer& text_;
  // Guards what follows between the demonstration's presents and the main thread's news.
  std::mutex mutex_;
  ScreenSize size_;
  double scale_;
  std::array<Slot, 2> slots_;
  FrameCanvas canvas_;
  // The slot the demonstration draws on; the other may be on the screen.
  int drawing_ = 0;
  // The frames drawn so far.
  long frames_ = 0;
  // A presented frame the surface could not show yet, or -1, and what it changed since the frame
  // committed last (all of it, when another was presented but never committed in between).
  int waiting_ = -1;
  std::vector<Rect> waitingChanged_;
  // The slot last committed, or -1.
  int shown_ = -1;
  bool configured_ = false;
  bool gone_ = false;
  // The commit that adds the nudge's child surface, counted from the first.
  static constexpr int kNudgeCommit = 3;
  std::unique_ptr<PointerNudge> nudge_;
  int commits_ = 0;
};

}  // namespace drevanti::wayland_platform
