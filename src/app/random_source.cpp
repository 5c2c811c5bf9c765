#include "app/random_source.h"

namespace drevanti {

float MersenneRandom::next() {
  // 24 bits fit a float's significand exactly, so the value is exact and strictly below 1.
  return static_cast<float>(mt_() >> 8) * 0x1p-24f;
}

}  // namespace drevanti
