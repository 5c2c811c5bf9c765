#include "state/random_source.h"

#include <chrono>

namespace drevanti {

float MersenneRandom::next() {
  // 24 bits fit a float's significand exactly, so the value is exact and strictly below 1.
  return static_cast<float>(mt_() >> 8) * 0x1p-24f;
}

std::uint32_t clockSeed() {
  const auto ticks = std::chrono::system_clock::now().time_since_epoch().count();
  // Fold the high bits in, so that runs started within one 2^32-tick window still differ.
  return static_cast<std::uint32_t>(ticks ^ (ticks >> 32));
}

}  // namespace drevanti
