// The page's one demonstration, run on the browser's thread, which is the owner's too: the owner
// starts it, and the window system's next dispatch runs it to its end. Where a demonstration on a
// thread of its own would sleep, this one yields to the browser through the wait it is given,
// which passes the browser's events to the owner meanwhile; the owner's requests end the wait.
#pragma once

#include <chrono>
#include <cstdint>
#include <exception>
#include <functional>

#include "app/demonstrations.h"
#include "state/solver_state.h"

namespace drevanti::web {

class BrowserDemonstration final : public DemonstrationRunner {
 public:
  // Yields to the browser for at most the given time, passing its events on to the owner.
  using Wait = std::function<void(std::chrono::milliseconds)>;
  // Told of each finished instance (counting from 0) with the demonstration's seed.
  using InstanceDone = std::function<void(long instance, std::uint32_t seed, const SolverState&)>;

  void afterEachInstance(InstanceDone done) { instanceDone_ = std::move(done); }

  // Throws std::logic_error when a demonstration is running already: the page has one window.
  void start(HostedWindow& window, std::uint32_t seed) override;
  void retire(HostedWindow& window) override;
  void closeAll() override;
  std::vector<HostedWindow*> takeEnded() override;
  bool running() const override { return window_ != nullptr && !ended_; }
  void finish() override;

  // Runs the started demonstration to its end, if one waits to run; false when none does.
  bool runStarted(const Wait& wait);

 private:
  HostedWindow* window_ = nullptr;
  std::uint32_t seed_ = 0;
  bool begun_ = false;
  bool ended_ = false;
  std::exception_ptr failure_;
  InstanceDone instanceDone_;
};

}  // namespace drevanti::web
