// The request to end the program that does not come through a window: a signal (SIGTERM, SIGINT),
// raised on whatever thread notices it. The window owner ends the run when it sees it, and is woken
// for it at once.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>

namespace drevanti {

class StopRequest {
 public:
  // From any thread; wakes whoever sleeps waiting for it.
  void raise();
  bool raised() const { return raised_.load(); }

  // While it lives, each raise calls wake (on the raising thread): made by the one who sleeps.
  class Wakeup {
   public:
    Wakeup(StopRequest& stop, std::function<void()> wake);
    ~Wakeup();
    Wakeup(const Wakeup&) = delete;
    Wakeup& operator=(const Wakeup&) = delete;

   private:
    StopRequest& stop_;
  };

 private:
  std::atomic<bool> raised_{false};
  // Guarded, so that nothing is woken once its Wakeup has gone.
  std::mutex mutex_;
  std::function<void()> wake_;
};

}  // namespace drevanti
