// The one random sequence of the demonstration: uniform single-precision values in [0, 1), drawn
// in program order by instance generation, candidate placement and the Fermat constructions.
#pragma once

#include <cstdint>
#include <random>

namespace drevanti {

class RandomSource {
 public:
  virtual ~RandomSource() = default;
  virtual float next() = 0;
};

// The generator every build uses, so that a seed gives the same run on every platform:
// std::mt19937 with a 32-bit seed, each draw the top 24 bits scaled by 2^-24.
class MersenneRandom final : public RandomSource {
 public:
  explicit MersenneRandom(std::uint32_t seed) : mt_(seed) {}
  float next() override;

 private:
  std::mt19937 mt_;
};

// A seed taken from the system clock, for runs that were given none.
std::uint32_t clockSeed();

}  // namespace drevanti
