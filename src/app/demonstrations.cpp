#include "app/demonstrations.h"

#include "app/frm_steiner.h"

namespace drevanti {

Demonstrations::Demonstrations(const std::vector<HostedWindow*>& windows, std::uint32_t seed,
                               std::function<void()> wake)
    : windows_(windows), wake_(std::move(wake)), running_(static_cast<int>(windows.size())) {
  threads_.reserve(windows_.size());
  for (std::size_t i = 0; i < windows_.size(); ++i) {
    threads_.emplace_back(&Demonstrations::run, this, std::ref(*windows_[i]),
                          seed + static_cast<std::uint32_t>(i));
  }
}

Demonstrations::~Demonstrations() {
  closeAll();
  joinAll();
}

void Demonstrations::joinAll() {
  for (std::thread& thread : threads_) {
    if (thread.joinable()) thread.join();
  }
}

void Demonstrations::closeAll() {
  for (HostedWindow* window : windows_) window->requestClose();
}

void Demonstrations::finish() {
  joinAll();
  if (failure_) std::rethrow_exception(failure_);
}

void Demonstrations::run(HostedWindow& window, std::uint32_t seed) {
  try {
    frmSteiner form(window, seed);
    form.load();
  } catch (...) {
    const std::lock_guard lock(failureMutex_);
    if (!failure_) failure_ = std::current_exception();
  }
  // One demonstration ended (the user is back, the host said stop, or it failed): all end.
  closeAll();
  --running_;
  if (wake_) wake_();
}

}  // namespace drevanti
