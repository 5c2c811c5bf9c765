#include "idle_time.h"

#include <cmath>
#include <cstdio>

namespace drevanti::idle {

namespace {

constexpr std::chrono::seconds kAheadOfGnome{60};

}  // namespace

std::chrono::milliseconds idleTimeBeforeGnome(std::uint32_t idleDelaySeconds) {
  if (idleDelaySeconds == 0) return kDefaultIdleTime;
  const std::chrono::milliseconds gnome = std::chrono::seconds(idleDelaySeconds);
  if (gnome >= 2 * kAheadOfGnome) return gnome - kAheadOfGnome;
  return gnome / 2;
}

std::chrono::milliseconds idleTimeOfMinutes(double minutes) {
  return std::chrono::milliseconds(std::llround(minutes * 60'000));
}

std::string describeTime(std::chrono::milliseconds time) {
  const auto count = time.count();
  char text[64];
  if (count % 60'000 == 0) {
    const auto minutes = count / 60'000;
    std::snprintf(text, sizeof text, "%lld minute%s", static_cast<long long>(minutes),
                  minutes == 1 ? "" : "s");
  } else {
    std::snprintf(text, sizeof text, "%g seconds", static_cast<double>(count) / 1000);
  }
  return text;
}

}  // namespace drevanti::idle
