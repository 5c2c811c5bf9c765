#include "app/demonstrations.h"

#include <algorithm>

#include "app/frm_steiner.h"

namespace drevanti {

Demonstrations::Demonstrations(std::function<void()> wake) : wake_(std::move(wake)) {}

Demonstrations::~Demonstrations() {
  closeAll();
  joinAll();
}

void Demonstrations::start(HostedWindow& window, std::uint32_t seed) {
  const std::lock_guard lock(mutex_);
  entries_.push_back(std::make_unique<Entry>());
  Entry& entry = *entries_.back();
  entry.window = &window;
  ++running_;
  entry.thread = std::thread(&Demonstrations::run, this, std::ref(entry), seed);
}

void Demonstrations::retire(HostedWindow& window) {
  {
    const std::lock_guard lock(mutex_);
    for (auto& e : entries_) {
      if (e->window == &window) e->retired = true;
    }
  }
  window.requestClose();
}

void Demonstrations::closeAll() {
  const std::lock_guard lock(mutex_);
  for (auto& e : entries_) e->window->requestClose();
}

std::vector<HostedWindow*> Demonstrations::takeEnded() {
  std::vector<std::unique_ptr<Entry>> ended;
  {
    const std::lock_guard lock(mutex_);
    const auto split = std::stable_partition(entries_.begin(), entries_.end(),
                                             [](const auto& e) { return !e->ended; });
    std::move(split, entries_.end(), std::back_inserter(ended));
    entries_.erase(split, entries_.end());
  }
  std::vector<HostedWindow*> windows;
  for (auto& e : ended) {
    if (e->thread.joinable()) e->thread.join();
    windows.push_back(e->window);
  }
  return windows;
}

void Demonstrations::joinAll() {
  // Only the owner's thread adds entries, so the list stays as it is while it joins them.
  for (auto& e : entries_) {
    if (e->thread.joinable()) e->thread.join();
  }
}

void Demonstrations::finish() {
  joinAll();
  if (failure_) std::rethrow_exception(failure_);
}

void Demonstrations::run(Entry& entry, std::uint32_t seed) {
  bool failed = false;
  try {
    frmSteiner form(*entry.window, seed);
    form.load();
  } catch (...) {
    failed = true;
    const std::lock_guard lock(mutex_);
    if (!failure_) failure_ = std::current_exception();
  }
  bool retired;
  {
    const std::lock_guard lock(mutex_);
    retired = entry.retired && !failed;
  }
  // A demonstration ends when it is told to, or when it fails: then all end.
  if (!retired) closeAll();
  {
    const std::lock_guard lock(mutex_);
    entry.ended = true;
  }
  --running_;
  if (wake_) wake_();
}

}  // namespace drevanti
