#include "app/stop_request.h"

#include <utility>

namespace drevanti {

void StopRequest::raise() {
  raised_ = true;
  const std::lock_guard lock(mutex_);
  if (wake_) wake_();
}

StopRequest::Wakeup::Wakeup(StopRequest& stop, std::function<void()> wake) : stop_(stop) {
  const std::lock_guard lock(stop_.mutex_);
  stop_.wake_ = std::move(wake);
}

StopRequest::Wakeup::~Wakeup() {
  const std::lock_guard lock(stop_.mutex_);
  stop_.wake_ = nullptr;
}

}  // namespace drevanti
