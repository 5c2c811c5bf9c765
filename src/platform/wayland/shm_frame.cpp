#include "shm_frame.h"

namespace drevanti::wayland_platform {

ShmFrame::ShmFrame(wl_display* display, wl_shm* shm, wl_surface* surface, ScreenSize size,
                   double scale, linux_shared::TextRenderer& text)
    : display_(display), shm_(shm), surface_(surface), text_(text), size_(size), scale_(scale) {
  allocate();
}

void ShmFrame::allocate() {
  for (Slot& slot : slots_) {
    slot.canvas.reset();
    slot.frame = -1;
    slot.buffer = std::make_unique<ShmBuffer>(shm_, size_);
    slot.canvas =
        std::make_unique<linux_shared::SurfaceCanvas>(slot.buffer->surface(), text_, scale_);
  }
  drawOn(0);
  frames_ = 0;
  waiting_ = -1;
  shown_ = -1;
}

void ShmFrame::drawOn(int slot) {
  drawing_ = slot;
  canvas_.drawOn(*slots_[slot].canvas);
}

int ShmFrame::canvasAge() {
  const std::lock_guard lock(mutex_);
  const long frame = slots_[drawing_].frame;
  return frame < 0 ? 0 : static_cast<int>(frames_ - frame);
}

bool ShmFrame::present(const std::vector<Rect>& changed) {
  const std::lock_guard lock(mutex_);
  bool done = true;
  if (canvas_.takeDrawn()) {
    slots_[drawing_].frame = frames_++;
    // A frame that was never committed changed what this one is compared with.
    waitingChanged_ = waiting_ < 0 ? changed : std::vector<Rect>{whole()};
    waiting_ = drawing_;
    commitWaiting();
    done = takeOther();
  } else {
    commitShownAgain();
  }
  // The main thread sleeps meanwhile: the commit goes out now. (A full socket sends the rest with
  // the main thread's next flush.)
  wl_display_flush(display_);
  return done;
}

bool ShmFrame::finishPresent() {
  const std::lock_guard lock(mutex_);
  return takeOther();
}

bool ShmFrame::takeOther() {
  const int other = 1 - drawing_;
  // The compositor reads it still: it gives it back once it shows the new frame.
  if (slots_[other].buffer->busy() && !gone_) return false;
  drawOn(other);
  return true;
}

void ShmFrame::resize(ScreenSize size, double scale) {
  const std::lock_guard lock(mutex_);
  size_ = size;
  scale_ = scale;
  // Buffers the compositor still holds may go: it keeps what it needs of them itself.
  allocate();
}

void ShmFrame::configured() {
  const std::lock_guard lock(mutex_);
  configured_ = true;
  commitWaiting();
}

void ShmFrame::gone() {
  const std::lock_guard lock(mutex_);
  gone_ = true;
  waiting_ = -1;
}

void ShmFrame::commitWaiting() {
  if (waiting_ < 0 || !configured_ || gone_) return;
  commit(waiting_, waitingChanged_);
  waiting_ = -1;
}

void ShmFrame::commitShownAgain() {
  if (waiting_ >= 0 || shown_ < 0 || gone_) return;
  commit(shown_, {whole()});
}

Rect ShmFrame::whole() const {
  return {0, 0, size_.width, size_.height};
}

void ShmFrame::commit(int slot, const std::vector<Rect>& changed) {
  ShmBuffer& buffer = *slots_[slot].buffer;
  // The first commit shows all of it anew.
  const bool anew = commits_ == 0;
  if (++commits_ == kNudgeCommit && nudge_) nudge_->add();
  // Busy before the commit can go out: the main thread may send it, and hear of the release, at
  // once.
  buffer.committed();
  wl_surface_attach(surface_, buffer.buffer(), 0, 0);
  if (anew) {
    wl_surface_damage_buffer(surface_, 0, 0, buffer.size().width, buffer.size().height);
  } else {
    for (const Rect& r : changed) wl_surface_damage_buffer(surface_, r.x, r.y, r.width, r.height);
  }
  wl_surface_commit(surface_);
  shown_ = slot;
}

}  // namespace drevanti::wayland_platform
