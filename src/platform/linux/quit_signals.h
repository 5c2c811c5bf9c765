// SIGTERM and SIGINT, the way hosts and terminals stop a program, raise the program's stop request
// at once. The signals are blocked in every thread of the program and one thread of their own
// waits for them, so that neither a computation nor a wait in progress delays the stop. Made
// first in main, before any other thread exists: threads inherit the blocked signals.
#pragma once

#include "app/stop_request.h"

namespace drevanti::linux_program {

class QuitSignals {
 public:
  explicit QuitSignals(StopRequest& stop);
  // From now on a signal is only noted: the stop request is about to go.
  ~QuitSignals();
  QuitSignals(const QuitSignals&) = delete;
  QuitSignals& operator=(const QuitSignals&) = delete;
};

}  // namespace drevanti::linux_program
