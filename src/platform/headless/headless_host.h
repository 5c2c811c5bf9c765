// A host without a window for running the solver directly: no input ever arrives and repaints
// draw nothing. The headless tool solves users' terminals on it; benchmarks and tests build on it.
#pragma once

#include <cstdint>

#include "steiner/solver.h"

namespace drevanti {

class HeadlessHost : public SolverHost {
 public:
  HeadlessHost(ScreenSize screen, std::uint32_t seed) : screen_(screen), random_(seed) {}

  void doEvents() override {}
  bool quitRequested() const override { return false; }
  [[noreturn]] void stopSequence() override { throw ProgramEnded{}; }
  void repaint() override {}
  ScreenSize screenSize() const override { return screen_; }
  RandomSource& random() override { return random_; }

 private:
  ScreenSize screen_;
  MersenneRandom random_;
};

}  // namespace drevanti
