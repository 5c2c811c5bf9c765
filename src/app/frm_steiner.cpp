#include "app/frm_steiner.h"

#include <algorithm>
#include <cmath>

#include "app/improvement_rounds.h"
#include "app/instance_generation.h"
#include "render/repaint.h"

namespace drevanti {

namespace {

// Rounds a pointer coordinate to the nearest 16-bit integer, halves to even.
Integer roundToInteger(float value) {
  const double rounded = std::nearbyint(static_cast<double>(value));
  return static_cast<Integer>(std::clamp(rounded, -32768.0, 32767.0));
}

}  // namespace

frmSteiner::frmSteiner(SaverWindow& window, SystemSettings& system, std::uint32_t seed)
    : window_(window),
      system_(system),
      random_(seed),
      solver_(std::make_unique<Solver>(*this)),
      screen_(window.screenSize()) {}

frmSteiner::~frmSteiner() = default;

void frmSteiner::load() {
  window_.show();
  module_.quitFlag = 0;
  // The setting as the user had it is kept and given back at exit, so that running the saver
  // once does not leave the desktop's own screen saver switched off.
  screenSaverWasActive_ = system_.screenSaverActive();
  system_.setScreenSaverActive(true);
  system_.showCursor(false);
  window_.canvas().clear();
  window_.present();
  try {
    while (true) {
      doEvents();
      if (quitRequested()) stopSequence();
      generateInstance(*solver_);
      runRounds(*solver_);
      waitDispatching(pacing_.untilNextInstance(window_.now()));
    }
  } catch (const ProgramEnded&) {
    // The unload handler ran: nothing more of the demonstration runs.
  }
}

void frmSteiner::onClick() {
  module_.quitFlag = -1;
}

void frmSteiner::onKeyDown(Integer, Integer) {
  module_.quitFlag = -1;
}

void frmSteiner::onMouseMove(Integer, Integer, float x, float y) {
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

void frmSteiner::onCloseRequest() {
  module_.quitFlag = -1;
}

void frmSteiner::doEvents() {
  window_.doEvents(*this);
}

void frmSteiner::stopSequence() {
  window_.canvas().clear();
  window_.present();
  window_.hide();
  window_.unload();
  onUnload();
}

void frmSteiner::onUnload() {
  system_.setScreenSaverActive(screenSaverWasActive_);
  system_.showCursor(true);
  throw ProgramEnded{};
}

void frmSteiner::repaint() {
  drevanti::repaint(solver_->s, window_.canvas(), screen_.width);
  waitDispatching(pacing_.untilNextFrame(window_.now()));
  window_.present();
  pacing_.frameShown(window_.now());
}

void frmSteiner::waitDispatching(std::chrono::milliseconds duration) {
  const auto deadline = window_.now() + duration;
  while (!quitRequested()) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - window_.now());
    if (left <= 0ms) return;
    window_.waitEvents(*this, left);
  }
}

}  // namespace drevanti
