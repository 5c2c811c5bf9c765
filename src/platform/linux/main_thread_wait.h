// How the Linux saver's main thread sleeps until it has something to do. In full screen it sleeps
// in SDL's own wait, which the user's input ends at once, and is woken by an SDL event. SDL wakes
// that wait with an X message to one of its windows, though, and such a message to a window
// someone else made goes to its maker: a hosted saver would send its host messages and never be
// woken itself. So a hosted saver sleeps in a wait of its own and looks at SDL's events after it.
#pragma once

#include <SDL.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace drevanti::linux_platform {

class MainThreadWait {
 public:
  explicit MainThreadWait(bool inSdl) : inSdl_(inSdl) {}

  // From any thread.
  void wake();
  // Sleeps until woken, an SDL event arrives (in SDL) or the time is up; true when it took an
  // event.
  bool wait(SDL_Event& event, std::chrono::milliseconds timeout);
  // Sleeps until woken or the time is up, leaving SDL alone.
  void sleep(std::chrono::milliseconds timeout);

 private:
  bool inSdl_;
  std::mutex mutex_;
  std::condition_variable wokenCondition_;
  bool woken_ = false;
};

}  // namespace drevanti::linux_platform
