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

void HostedWindow::requestResize(ScreenSize size, double scale) {
  {
    const std::lock_guard lock(mutex_);
    resize_ = Resize{size, scale};
  }
  requested_.notify_all();
}

Canvas& HostedWindow::canvas() {
  Canvas& device = frames_.canvas();
  damage_.drawOn(device, frames_.canvasAge());
  scaled_.drawOn(damage_);
  // At one device pixel to the scene's, the scene draws on the device's pixels itself.
  return scaled_.scale() == 1 ? static_cast<Canvas&>(damage_) : scaled_;
}

bool HostedWindow::hasRequests() {
  const std::lock_guard lock(mutex_);
  return pending();
}

void HostedWindow::doEvents(FormEvents& handlers) {
  bool close, refresh;
  std::optional<Resize> resize;
  {
    const std::lock_guard lock(mutex_);
    // A close request stays: every later do-events call sees it too.
    close = close_;
    refresh = std::exchange(refresh_, false);
    resize = std::exchange(resize_, std::nullopt);
  }
  if (resize && (resize->size != device_ || resize->scale != scaled_.scale())) {
    device_ = resize->size;
    scaled_ = ScaledCanvas(resize->scale);
    damage_ = DamageCanvas(device_);
    frames_.resize(device_, resize->scale);
  }
  size_ = logicalSize(device_, scaled_.scale());
  // Do-events calls come between frames, so the canvas holds a complete one.
  if (refresh) present();
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
