#include "quit_signals.h"

#include <SDL.h>
#include <signal.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <utility>

namespace drevanti::linux_platform {

namespace {

std::atomic<bool> signalled{false};
// What a signal does until stopForwarding; guarded, so that nothing is pushed while SDL quits.
std::mutex forwardMutex;
std::function<void()> forwardTo;

sigset_t quitSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGINT);
  return set;
}

}  // namespace

QuitSignals::QuitSignals()
    : QuitSignals([] {
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
      }) {
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
}

QuitSignals::QuitSignals(std::function<void()> forward) {
  const sigset_t set = quitSignals();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
  {
    const std::lock_guard lock(forwardMutex);
    forwardTo = std::move(forward);
  }
  // Lives as long as the program; once SDL quits it only notes the signals.
  std::thread([set] {
    int signal = 0;
    while (sigwait(&set, &signal) == 0) {
      signalled = true;
      const std::lock_guard lock(forwardMutex);
      if (forwardTo) forwardTo();
    }
  }).detach();
}

void QuitSignals::stopForwarding() {
  const std::lock_guard lock(forwardMutex);
  forwardTo = nullptr;
}

bool QuitSignals::received() {
  return signalled.load();
}

}  // namespace drevanti::linux_platform
