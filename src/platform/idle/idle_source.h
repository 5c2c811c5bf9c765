// What tells the watcher that the user has been away for a while: GNOME's idle monitor on the
// session bus, or a Wayland compositor's idle notifier.
#pragma once

#include <chrono>
#include <functional>
#include <string>

namespace drevanti::idle {

struct IdleEvents {
  // The user has been away for the time asked for; called again only after they were back.
  std::function<void()> idle;
  // The source is gone (its bus or compositor with it): why, for the message.
  std::function<void(const std::string& why)> lost;
};

class IdleSource {
 public:
  virtual ~IdleSource() = default;
  // Where the news comes from, for the messages.
  virtual std::string name() const = 0;
  // From now on idle comes after this time without input (replacing any time asked for before).
  virtual void watchFor(std::chrono::milliseconds time) = 0;
};

}  // namespace drevanti::idle
