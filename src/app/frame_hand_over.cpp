#include "app/frame_hand_over.h"

#include <utility>

namespace drevanti {

FrameHandOver::FrameHandOver(FrameTarget& target, std::function<void()> wake)
    : target_(target), wake_(std::move(wake)), mainThread_(std::this_thread::get_id()) {}

Canvas& FrameHandOver::canvas() {
  std::unique_lock lock(mutex_);
  finishPresent(lock);
  return target_.canvas();
}

int FrameHandOver::canvasAge() {
  const std::lock_guard lock(mutex_);
  return target_.canvasAge();
}

void FrameHandOver::present(const std::vector<Rect>& changed) {
  std::unique_lock lock(mutex_);
  finishPresent(lock);
  if (abandoned_) return;
  unfinished_ = !target_.present(changed);
}

void FrameHandOver::resize(ScreenSize size, double scale) {
  std::unique_lock lock(mutex_);
  finishPresent(lock);
  if (abandoned_) return;
  if (onMainThread()) {
    target_.resize(size, scale);
    return;
  }
  request_ = Request::Resize;
  size_ = size;
  scale_ = scale;
  lock.unlock();
  // Woken outside the lock, the main thread does not wait for it.
  wake_();
  lock.lock();
  waitUntilDone(lock);
}

void FrameHandOver::finishPresent(std::unique_lock<std::mutex>& lock) {
  if (!unfinished_ || abandoned_) return;
  // Most often the window system answered long ago; else the main thread hears of it.
  unfinished_ = false;
  if (target_.finishPresent() || onMainThread()) return;
  request_ = Request::FinishPresent;
  waitUntilDone(lock);
}

void FrameHandOver::waitUntilDone(std::unique_lock<std::mutex>& lock) {
  done_.wait(lock, [this] { return request_ == Request::None || abandoned_; });
}

void FrameHandOver::serve() {
  {
    const std::lock_guard lock(mutex_);
    if (request_ == Request::None || abandoned_) return;
    if (request_ == Request::Resize) {
      target_.resize(size_, scale_);
    } else if (!target_.finishPresent()) {
      return;
    }
    request_ = Request::None;
  }
  done_.notify_all();
}

void FrameHandOver::abandon() {
  {
    const std::lock_guard lock(mutex_);
    abandoned_ = true;
  }
  done_.notify_all();
}

}  // namespace drevanti
