#include "app/frm_steiner.h"

#include "app/improvement_rounds.h"
#include "app/instance_generation.h"

namespace drevanti {

namespace {

// Thrown out of a do-events call when the window has changed size: the instance in progress was
// laid out for the old size, so a new one begins.
struct ScreenResized {};

}  // namespace

frmSteiner::frmSteiner(SaverWindow& window, std::uint32_t seed)
    : window_(window),
      random_(seed),
      solver_(std::make_unique<Solver>(*this)),
      screen_(window.screenSize()) {}

frmSteiner::~frmSteiner() = default;

void frmSteiner::load() {
  window_.show();
  scene_.clear(window_.canvas());
  window_.present();
  try {
    while (true) {
      try {
        doEvents();
        if (quitRequested()) stopSequence();
        if (generateInstance(*solver_)) {
          runRounds(*solver_);
          if (instanceDone_) instanceDone_(solver_->s);
          waitDispatching(pacing_.untilNextInstance(window_.now()));
        } else {
          // No room for an instance: the window stays black, answering every request meanwhile.
          waitDispatching(kNoRoomPause);
        }
      } catch (const ScreenResized&) {
      }
    }
  } catch (const ProgramEnded&) {
    // The stop sequence ran: nothing more of the demonstration runs.
  }
}

void frmSteiner::doEvents() {
  window_.doEvents(handlers_);
  followResize();
}

void frmSteiner::followResize() {
  if (window_.screenSize() == screen_) return;
  screen_ = window_.screenSize();
  scene_.clear(window_.canvas());
  window_.present();
  throw ScreenResized{};
}

void frmSteiner::stopSequence() {
  scene_.clear(window_.canvas());
  window_.present();
  window_.hide();
  window_.unload();
  throw ProgramEnded{};
}

void frmSteiner::repaint() {
  // Drawn once the pause is over: until then the canvas holds the frame shown, which a request to
  // show it again finds there, and the window system has had the time to give back what the next
  // frame is drawn on.
  waitDispatching(pacing_.untilNextFrame(window_.now()));
  scene_.repaint(solver_->s, window_.canvas(), screen_.width);
  window_.present();
  pacing_.frameShown(window_.now());
}

void frmSteiner::waitDispatching(std::chrono::milliseconds duration) {
  const auto deadline = window_.now() + duration;
  while (!quitRequested()) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - window_.now());
    if (left <= std::chrono::milliseconds{0}) return;
    window_.waitEvents(handlers_, left);
    followResize();
  }
}

}  // namespace drevanti
