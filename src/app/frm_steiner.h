// frmSteiner: the saver's main window and its life. Start-up, the outer loop over problem
// instances, the input handlers that ask for a stop, the stop sequence and the unload handler.
#pragma once

#include <cstdint>
#include <memory>

#include "app/display_pacing.h"
#include "app/platform.h"
#include "steiner/solver.h"

namespace drevanti {

// The module's state: 0 while the saver runs, -1 once a stop was asked for; never set back.
struct mdlSteiner {
  Integer quitFlag = 0;
};

class frmSteiner final : public SolverHost, public FormEvents {
 public:
  frmSteiner(SaverWindow& window, SystemSettings& system, std::uint32_t seed);
  ~frmSteiner() override;

  // The Load event: start-up, then one instance after another until a stop. Returns once the
  // unload handler has run, and the program then ends.
  void load();

  // Input handlers: they only ask for a stop.
  void onClick() override;
  void onKeyDown(Integer keyCode, Integer shift) override;
  void onMouseMove(Integer button, Integer shift, float x, float y) override;
  void onCloseRequest() override;

  // The solver's host.
  void doEvents() override;
  bool quitRequested() const override { return module_.quitFlag == -1; }
  [[noreturn]] void stopSequence() override;
  void repaint() override;
  ScreenSize screenSize() const override { return screen_; }
  RandomSource& random() override { return random_; }

  const SolverState& state() const { return solver_->s; }
  Integer quitFlag() const { return module_.quitFlag; }

 private:
  [[noreturn]] void onUnload();
  // Sleeps for the given time (or until a stop is asked for), dispatching input meanwhile.
  void waitDispatching(std::chrono::milliseconds duration);

  SaverWindow& window_;
  SystemSettings& system_;
  MersenneRandom random_;
  std::unique_ptr<Solver> solver_;
  mdlSteiner module_;
  ScreenSize screen_;
  DisplayPacing pacing_;
  // The first pointer position seen; (0, 0) means not seen yet.
  Integer firstMouseX_ = 0, firstMouseY_ = 0;
  // The screen-saver setting as the user had it, given back at exit.
  bool screenSaverWasActive_ = false;
};

}  // namespace drevanti
