#include "main_thread_wait.h"

namespace drevanti::linux_platform {

namespace {

Uint32 wakeEvent() {
  static const Uint32 type = SDL_RegisterEvents(1);
  return type;
}

}  // namespace

void MainThreadWait::wake() {
  {
    const std::lock_guard lock(mutex_);
    woken_ = true;
  }
  wokenCondition_.notify_all();
  if (inSdl_) {
    SDL_Event wake{};
    wake.type = wakeEvent();
    SDL_PushEvent(&wake);
  }
}

bool MainThreadWait::wait(SDL_Event& event, std::chrono::milliseconds timeout) {
  if (inSdl_) return SDL_WaitEventTimeout(&event, static_cast<int>(timeout.count())) != 0;
  sleep(timeout);
  return SDL_PollEvent(&event) != 0;
}

void MainThreadWait::sleep(std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  wokenCondition_.wait_for(lock, timeout, [this] { return woken_; });
  woken_ = false;
}

}  // namespace drevanti::linux_platform
