#include "quit_signals.h"

#include <signal.h>

#include <mutex>
#include <thread>

namespace drevanti::linux_program {

namespace {

// The stop request a signal raises, until the QuitSignals go; guarded, so that none is raised
// while it goes.
std::mutex raiseMutex;
StopRequest* raising = nullptr;

sigset_t quitSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGINT);
  return set;
}

}  // namespace

QuitSignals::QuitSignals(StopRequest& stop) {
  const sigset_t set = quitSignals();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
  {
    const std::lock_guard lock(raiseMutex);
    raising = &stop;
  }
  // Lives as long as the program.
  std::thread([set] {
    int signal = 0;
    while (sigwait(&set, &signal) == 0) {
      const std::lock_guard lock(raiseMutex);
      if (raising) raising->raise();
    }
  }).detach();
}

QuitSignals::~QuitSignals() {
  const std::lock_guard lock(raiseMutex);
  raising = nullptr;
}

}  // namespace drevanti::linux_program
