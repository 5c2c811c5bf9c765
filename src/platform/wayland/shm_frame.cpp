#include "shm_frame.h"

#include <utility>

namespace drevanti::wayland_platform {

ShmFrame::ShmFrame(wl_shm* shm, wl_surface* surface, ScreenSize size,
                   linux_platform::TextRenderer& text, std::function<void()> wake)
    : shm_(shm), surface_(surface), text_(text), wake_(std::move(wake)), size_(size) {
  allocate();
}

void ShmFrame::allocate() {
  for (Slot& slot : slots_) {
    slot.canvas.reset();
    slot.buffer = std::make_unique<ShmBuffer>(shm_, size_);
    slot.canvas = std::make_unique<linux_platform::SurfaceCanvas>(slot.buffer->surface(), text_);
  }
  drawOn(0);
  waiting_ = -1;
  shown_ = -1;
}

void ShmFrame::drawOn(int slot) {
  drawing_ = slot;
  canvas_.drawOn(*slots_[slot].canvas);
}

void ShmFrame::present() {
  std::unique_lock lock(mutex_);
  if (abandoned_) return;
  request_ = canvas_.takeDrawn() ? Request::Present : Request::Refresh;
  wake_();
  done_.wait(lock, [this] { return request_ == Request::None || abandoned_; });
}

void ShmFrame::resize(ScreenSize size) {
  std::unique_lock lock(mutex_);
  // Nobody serves any more: the demonstration goes on drawing on the buffers it has, clipped.
  if (abandoned_) return;
  size_ = size;
  request_ = Request::Resize;
  wake_();
  done_.wait(lock, [this] { return request_ == Request::None || abandoned_; });
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
  commit(waiting_);
  waiting_ = -1;
}

void ShmFrame::commitShownAgain() {
  if (waiting_ >= 0 || shown_ < 0 || gone_) return;
  commit(shown_);
}

void ShmFrame::commit(int slot) {
  ShmBuffer& buffer = *slots_[slot].buffer;
  wl_buffer* shown = buffer.buffer();
  if (++commits_ == sizeChangeAt_ && buffer.shortBuffer()) shown = buffer.shortBuffer();
  wl_surface_attach(surface_, shown, 0, 0);
  // All of it is new: the buffer shown until now holds another frame, drawn whole too.
  wl_surface_damage_buffer(surface_, 0, 0, buffer.size().width, buffer.size().height);
  wl_surface_commit(surface_);
  buffer.committed(shown);
  shown_ = slot;
}

void ShmFrame::serve() {
  const std::lock_guard lock(mutex_);
  if (request_ == Request::Resize) {
    // Buffers the compositor still holds may go: it keeps what it needs of them itself.
    allocate();
    done();
    return;
  }
  if (request_ == Request::Refresh) {
    commitShownAgain();
    done();
    return;
  }
  if (request_ != Request::Present) return;
  if (!std::exchange(committed_, true)) {
    waiting_ = drawing_;
    commitWaiting();
  }
  const int next = 1 - drawing_;
  // The compositor reads the other buffer still: it gives it back once it shows the new frame.
  if (slots_[next].buffer->busy() && !gone_) return;
  drawOn(next);
  done();
}

void ShmFrame::done() {
  request_ = Request::None;
  committed_ = false;
  done_.notify_all();
}

void ShmFrame::abandon() {
  {
    const std::lock_guard lock(mutex_);
    abandoned_ = true;
  }
  done_.notify_all();
}

}  // namespace drevanti::wayland_platform
