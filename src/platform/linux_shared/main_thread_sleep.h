// How a Linux backend's main thread sleeps: in poll, on its window system's connections and on an
// eventfd that wake writes, until one of them has something, with no timeout. A wake made before
// the sleep ends the next sleep at once.
#pragma once

#include <poll.h>

#include <span>

namespace drevanti::linux_shared {

class MainThreadSleep {
 public:
  // Throws std::runtime_error when there is no eventfd to be had.
  MainThreadSleep();
  ~MainThreadSleep();
  MainThreadSleep(const MainThreadSleep&) = delete;
  MainThreadSleep& operator=(const MainThreadSleep&) = delete;

  // From any thread.
  void wake();
  // Sleeps until one of connections is readable (each one's revents says which), or until woken;
  // with wait false only takes a wake-up that came meanwhile.
  void sleep(std::span<pollfd> connections, bool wait = true);

 private:
  int wakeFd_;
};

}  // namespace drevanti::linux_shared
