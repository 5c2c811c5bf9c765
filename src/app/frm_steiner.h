// frmSteiner: one demonstration in one window. Start-up, the outer loop over problem instances and
// the stop sequence. Whoever runs it owns the desktop's settings (the pointer, the screen-saver
// setting) and decides what input means; the window passes on what reaches the demonstration.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "app/display_pacing.h"
#include "app/saver_window.h"
#include "app/stop_on_input.h"
#include "render/scene.h"
#include "steiner/solver.h"

namespace drevanti {

class frmSteiner final : public SolverHost {
 public:
  frmSteiner(SaverWindow& window, std::uint32_t seed);
  ~frmSteiner() override;

  // The Load event: start-up, then one instance after another until a stop. Returns once the
  // stop sequence has run.
  void load();

  // Called with the solver state each time the rounds of an instance are done, before its final
  // tree's pause (the headless tool reports instances this way).
  void afterEachInstance(std::function<void(const SolverState&)> done) {
    instanceDone_ = std::move(done);
  }

  // The solver's host.
  void doEvents() override;
  bool quitRequested() const override { return handlers_.stopRequested(); }
  [[noreturn]] void stopSequence() override;
  void repaint() override;
  ScreenSize screenSize() const override { return screen_; }
  RandomSource& random() override { return random_; }

  const SolverState& state() const { return solver_->s; }
  Integer quitFlag() const { return handlers_.quitFlag(); }

 private:
  // When the window has a new size, abandons the instance in progress for one that fits.
  void followResize();
  // Sleeps for the given time (or until a stop is asked for), dispatching input meanwhile.
  void waitDispatching(std::chrono::milliseconds duration);

  SaverWindow& window_;
  MersenneRandom random_;
  std::unique_ptr<Solver> solver_;
  StopOnInput handlers_;
  Scene scene_;
  ScreenSize screen_;
  DisplayPacing pacing_;
  std::function<void(const SolverState&)> instanceDone_;
};

}  // namespace drevanti
