#include "app/frame_hand_over.h"

#include <utility>

namespace drevanti {

FrameHandOver::FrameHandOver(FrameTarget& target, std::function<void()> wake)
    : target_(target), wake_(std::move(wake)), mainThread_(std::this_thread::get_id()) {}

void FrameHandOver::present() {
  handOver(Request::Present, {});
}

void FrameHandOver::resize(ScreenSize size) {
  handOver(Request::Resize, size);
}

void FrameHandOver::handOver(Request request, ScreenSize size) {
  {
    const std::lock_guard lock(mutex_);
    if (abandoned_) return;
    if (std::this_thread::get_id() == mainThread_) {
      carryOut(request, size);
      return;
    }
    request_ = request;
    size_ = size;
  }
  // Woken outside the lock, the main thread does not wait for it.
  wake_();
  std::unique_lock lock(mutex_);
  done_.wait(lock, [this] { return request_ == Request::None || abandoned_; });
}

bool FrameHandOver::carryOut(Request request, ScreenSize size) {
  if (request == Request::Resize) {
    target_.resize(size);
    return true;
  }
  return target_.present();
}

void FrameHandOver::serve() {
  {
    const std::lock_guard lock(mutex_);
    if (request_ == Request::None || abandoned_ || !carryOut(request_, size_)) return;
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
