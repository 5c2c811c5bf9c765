// The demonstrations of one program run: one per window, each a frmSteiner. The window owner
// starts one for every window it opens and retires it when the window's monitor goes; the first
// demonstration to end of its own accord (it failed) has all the others closed.
#pragma once

#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "app/hosted_window.h"

namespace drevanti {

// How the demonstrations run. Calls come from the owner's thread, except closeAll.
class DemonstrationRunner {
 public:
  virtual ~DemonstrationRunner() = default;
  // Starts the window's demonstration with its own random sequence.
  virtual void start(HostedWindow& window, std::uint32_t seed) = 0;
  // Asks the window's demonstration to stop; its end does not end the others.
  virtual void retire(HostedWindow& window) = 0;
  // Asks every demonstration to stop at its next checkpoint. Thread-safe.
  virtual void closeAll() = 0;
  // The windows whose demonstrations have ended since the last call: theirs is over.
  virtual std::vector<HostedWindow*> takeEnded() = 0;
  // True while any demonstration still runs.
  virtual bool running() const = 0;
  // Waits for every demonstration, then rethrows the first failure, if any.
  virtual void finish() = 0;
};

// Each demonstration on a thread of its own, while the program's main thread owns the windows.
class Demonstrations final : public DemonstrationRunner {
 public:
  // wake is called, from the ending demonstration's thread, each time one ends, so that the
  // owner's wait for window-system events can end at once.
  explicit Demonstrations(std::function<void()> wake);
  // Closes every demonstration and waits for all.
  ~Demonstrations() override;
  Demonstrations(const Demonstrations&) = delete;
  Demonstrations& operator=(const Demonstrations&) = delete;

  void start(HostedWindow& window, std::uint32_t seed) override;
  void retire(HostedWindow& window) override;
  void closeAll() override;
  std::vector<HostedWindow*> takeEnded() override;
  bool running() const override { return running_.load() > 0; }
  void finish() override;

 private:
  struct Entry {
    HostedWindow* window;
    std::thread thread;
    bool retired = false;
    bool ended = false;
  };
  void run(Entry& entry, std::uint32_t seed);
  void joinAll();

  std::function<void()> wake_;
  std::atomic<int> running_{0};
  // Guards the entries' list and flags: demonstrations end, and close all, on their own threads.
  std::mutex mutex_;
  std::vector<std::unique_ptr<Entry>> entries_;
  std::exception_ptr failure_;
};

}  // namespace drevanti
