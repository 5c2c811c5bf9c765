#include "app/hosted_window.h"

namespace drevanti {

void HostedWindow::requestClose() {
  {
    const std::lock_guard lock(mutex_);
    close_ = true;
  }
  requested_.notify_all();
}

void HostedWindow::requestRefresh() {
  {
    const std::lock_guard lock(mutex_);
    refresh_ = true;
  }
  requested_.notify_all();
}

void HostedWindow::requestResize(ScreenSize size) {
  {
    const std::lock_guard lock(mutex_);
    resize_ = size;
  }
  requested_.notify_all();
}

bool HostedWindow::hasRequests() {
  const std::lock_guard lock(mutex_);
  return pending();
}

void HostedWindow::doEvents(FormEvents& handlers) {
  bool close, refresh;
  std::optional<ScreenSize> resize;
  {
    const std::lock_guard lock(mutex_);
    // A close request stays: every later do-events call sees it too.
    close = close_;
    refresh = std::exchange(refresh_, false);
    resize = std::exchange(resize_, std::nullopt);
  }
  if (resize && *resize != size_) {
    size_ = *resize;
    frames_.resize(size_);
  }
  // Do-events calls come between frames, so the canvas holds a complete one.
  if (refresh) frames_.present();
  if (close) handlers.onCloseRequest();
}

void HostedWindow::waitEvents(FormEvents& handlers, std::chrono::milliseconds timeout) {
  {
    std::unique_lock lock(mutex_);
    requested_.wait_for(lock, timeout, [this] { return pending(); });
  }
  doEvents(handlers);
}

}  // namespace drevanti
