// SIGTERM and SIGINT, the way hosts and terminals stop a program, become SDL_QUIT at once (or
// whatever else wakes the program's main thread). The signals are blocked in every thread of the
// program and one thread of their own waits for them, so that neither a computation nor a wait in
// progress delays the quit (SDL's own handlers only set a flag that its event loop reads at its
// next look). Made before SDL starts and before any other thread exists: threads inherit the
// blocked signals.
#pragma once

#include <functional>

namespace drevanti::linux_platform {

class QuitSignals {
 public:
  // Each signal pushes SDL_QUIT.
  QuitSignals();
  // Each signal calls forward, on the signals' own thread.
  explicit QuitSignals(std::function<void()> forward);
  ~QuitSignals() { stopForwarding(); }
  QuitSignals(const QuitSignals&) = delete;
  QuitSignals& operator=(const QuitSignals&) = delete;

  // From now on a signal is only noted: SDL is about to quit (call before SDL_Quit), or what
  // forward wakes is about to go.
  static void stopForwarding();
  // True once a signal has arrived (also before SDL could take the quit event).
  static bool received();
};

}  // namespace drevanti::linux_platform
