#include "watcher_lock.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <utility>

namespace drevanti::idle {

namespace {

flock wholeFile(short type) {
  flock lock{};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  return lock;
}

int openLockFile(const std::filesystem::path& file) {
  // Not followed when a link: the file is the user's own, in the user's own folder.
  const int fd = open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) {
    throw std::runtime_error("cannot open " + file.string() + ": " + std::strerror(errno));
  }
  return fd;
}

}  // namespace

std::filesystem::path watcherLockFile() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (!runtime || !*runtime) {
    throw std::runtime_error(
        "XDG_RUNTIME_DIR is not set, and the watcher keeps its lock there (one watcher per user)");
  }
  return std::filesystem::path(runtime) / "drevanti-on-idle.lock";
}

std::optional<WatcherLock> WatcherLock::take(const std::filesystem::path& file) {
  const int fd = openLockFile(file);
  flock lock = wholeFile(F_WRLCK);
  if (fcntl(fd, F_SETLK, &lock) != 0) {
    close(fd);
    return std::nullopt;
  }
  return WatcherLock(fd);
}

WatcherLock::WatcherLock(WatcherLock&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

WatcherLock::~WatcherLock() {
  if (fd_ >= 0) close(fd_);
}

std::optional<pid_t> watcherHolding(const std::filesystem::path& file) {
  const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return std::nullopt;
  flock lock = wholeFile(F_WRLCK);
  const int asked = fcntl(fd, F_GETLK, &lock);
  close(fd);
  if (asked != 0 || lock.l_type == F_UNLCK) return std::nullopt;
  return lock.l_pid;
}

}  // namespace drevanti::idle
