// How long the user must be away before the saver starts, and how that reads in a message.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace drevanti::idle {

// Where nothing says otherwise.
inline constexpr std::chrono::minutes kDefaultIdleTime{5};

// A minute before GNOME blanks the screen after idleDelaySeconds (its idle-delay setting), so that
// GNOME's fade and lock still come on top; half its time when that is two minutes or less; and
// kDefaultIdleTime when GNOME's is off (0).
std::chrono::milliseconds idleTimeBeforeGnome(std::uint32_t idleDelaySeconds);

// The time of --on-idle=MINUTES, to the millisecond.
std::chrono::milliseconds idleTimeOfMinutes(double minutes);

// "4 minutes", "1 minute", "90 seconds", "2.5 seconds": whole minutes as minutes, else seconds.
std::string describeTime(std::chrono::milliseconds time);

}  // namespace drevanti::idle
