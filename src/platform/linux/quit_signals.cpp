#include "quit_signals.h"

#include <SDL.h>
#include <signal.h>

#include <atomic>
#include <mutex>
#include <thread>

namespace drevanti::linux_platform {

namespace {

std::atomic<bool> signalled{false};
// Whether SDL takes events; guarded, so that no event is pushed while SDL quits.
std::mutex sdlMutex;
bool sdlOpen = false;

sigset_t quitSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGINT);
  return set;
}

}  // namespace

QuitSignals::QuitSignals() {
  const sigset_t set = quitSignals();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  {
    const std::lock_guard lock(sdlMutex);
    sdlOpen = true;
  }
  // Lives as long as the program; once SDL quits it only notes the signals.
  std::thread([set] {
    int signal = 0;
    while (sigwait(&set, &signal) == 0) {
      signalled = true;
      const std::lock_guard lock(sdlMutex);
      if (!sdlOpen) continue;
      SDL_Event quit{};
      quit.type = SDL_QUIT;
      SDL_PushEvent(&quit);
    }
  }).detach();
}

void QuitSignals::stopForwarding() {
  const std::lock_guard lock(sdlMutex);
  sdlOpen = false;
}

bool QuitSignals::received() {
  return signalled.load();
}

}  // namespace drevanti::linux_platform
