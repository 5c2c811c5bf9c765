#include "app/stop_on_input.h"

#include <algorithm>
#include <cmath>

namespace drevanti {

namespace {

// Rounds a pointer coordinate to the nearest 16-bit integer, halves to even.
Integer roundToInteger(float value) {
  const double rounded = std::nearbyint(static_cast<double>(value));
  return static_cast<Integer>(std::clamp(rounded, -32768.0, 32767.0));
}

}  // namespace

void StopOnInput::onClick() {
  module_.quitFlag = -1;
}

void StopOnInput::onKeyDown(Integer, Integer) {
  module_.quitFlag = -1;
}

void StopOnInput::onMouseMove(Integer, Integer, float x, float y) {
  const Integer ix = roundToInteger(x);
  const Integer iy = roundToInteger(y);
  // The first event only records where the pointer is, even without any movement (the window
  // appearing under a still pointer sends one). A pointer first seen at (0, 0) counts as unseen.
  if (firstMouseX_ == 0 && firstMouseY_ == 0) {
    firstMouseX_ = ix;
    firstMouseY_ = iy;
    return;
  }
  if (ix != firstMouseX_ || iy != firstMouseY_) module_.quitFlag = -1;
}

void StopOnInput::onCloseRequest() {
  module_.quitFlag = -1;
}

}  // namespace drevanti
