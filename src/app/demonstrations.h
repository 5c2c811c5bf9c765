// The demonstrations of one program run: one per hosted window (one per monitor in full screen),
// each a frmSteiner on a thread of its own. The program's main thread meanwhile owns the windows
// and the input. The first demonstration to end, or to fail, has all the others closed.
#pragma once

#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "app/hosted_window.h"

namespace drevanti {

class Demonstrations {
 public:
  // Starts window i's demonstration with its own random sequence, from seed + i. wake is called,
  // from the ending demonstration's thread, each time one ends, so that the owner's wait for
  // window-system events can end at once.
  Demonstrations(const std::vector<HostedWindow*>& windows, std::uint32_t seed,
                 std::function<void()> wake);
  // Closes every demonstration and waits for all.
  ~Demonstrations();
  Demonstrations(const Demonstrations&) = delete;
  Demonstrations& operator=(const Demonstrations&) = delete;

  // Asks every demonstration to stop at its next checkpoint. Thread-safe.
  void closeAll();
  // True while any demonstration still runs.
  bool running() const { return running_.load() > 0; }
  // Waits for every demonstration, then rethrows the first failure, if any.
  void finish();

 private:
  void run(HostedWindow& window, std::uint32_t seed);
  void joinAll();

  std::vector<HostedWindow*> windows_;
  std::function<void()> wake_;
  std::atomic<int> running_{0};
  std::mutex failureMutex_;
  std::exception_ptr failure_;
  std::vector<std::thread> threads_;
};

}  // namespace drevanti
