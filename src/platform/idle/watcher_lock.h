// One watcher per user: a lock on a file in $XDG_RUNTIME_DIR, held by the running watcher as long
// as it lives (a lock, not a pid written down, so that a watcher that died leaves nothing stale).
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>

namespace drevanti::idle {

// The lock file; throws when XDG_RUNTIME_DIR is not set.
std::filesystem::path watcherLockFile();

class WatcherLock {
 public:
  // Takes the lock for this process; nothing when another process holds it.
  static std::optional<WatcherLock> take(const std::filesystem::path& file);
  WatcherLock(WatcherLock&& other) noexcept;
  ~WatcherLock();
  WatcherLock(const WatcherLock&) = delete;
  WatcherLock& operator=(const WatcherLock&) = delete;
  WatcherLock& operator=(WatcherLock&&) = delete;

 private:
  explicit WatcherLock(int fd) : fd_(fd) {}
  int fd_;
};

// The process that holds the lock, when one does.
std::optional<pid_t> watcherHolding(const std::filesystem::path& file);

}  // namespace drevanti::idle
