// A host without a window: no input ever arrives, repaints are only counted. The headless tool
// runs the solver on it, and tests build on it.
#pragma once

#include <cstdint>

#include "steiner/solver.h"

namespace drevanti {

class HeadlessHost : public SolverHost {
 public:
  HeadlessHost(ScreenSize screen, std::uint32_t seed) : screen_(screen), random_(seed) {}

  void doEvents() override { ++doEventsCalls_; }
  bool quitRequested() const override { return false; }
  [[noreturn]] void stopSequence() override { throw ProgramEnded{}; }
  void repaint() override { ++repaints_; }
  ScreenSize screenSize() const override { return screen_; }
  RandomSource& random() override { return random_; }

  long doEventsCalls() const { return doEventsCalls_; }
  long repaints() const { return repaints_; }

 private:
  ScreenSize screen_;
  MersenneRandom random_;
  long doEventsCalls_ = 0;
  long repaints_ = 0;
};

}  // namespace drevanti
