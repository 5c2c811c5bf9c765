// The full-screen saver as the watcher's child: this same program, run anew without arguments.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>

namespace drevanti::idle {

class SaverChild {
 public:
  // ended comes from the main loop when a saver started here has ended, with its wait status.
  explicit SaverChild(std::function<void(int status)> ended);
  ~SaverChild();
  SaverChild(const SaverChild&) = delete;
  SaverChild& operator=(const SaverChild&) = delete;

  bool running() const { return pid_ > 0; }
  // Starts the saver unless it runs; throws when it cannot be started.
  void start();
  // Asks a running saver to end (SIGTERM), and kills it when it has not ended a few seconds
  // later; ended follows.
  void stop();

 private:
  std::function<void(int)> ended_;
  pid_t pid_ = 0;
  unsigned watch_ = 0;
  unsigned deadline_ = 0;
};

// What the wait status says, for a message: "exit status 1", "signal 11".
std::string describeStatus(int status);

}  // namespace drevanti::idle
