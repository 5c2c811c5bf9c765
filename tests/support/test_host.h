// A solver host for tests: scripted random numbers, a stop at any chosen checkpoint, and counts of
// everything the solver asked of it.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>

#include "platform/headless/headless_host.h"
#include "steiner/solver.h"

namespace drevanti::test_support {

// Hands out the scripted values first, then continues with a seeded generator.
class ScriptedRandom final : public RandomSource {
 public:
  explicit ScriptedRandom(std::uint32_t seed = 1) : fallback_(seed) {}
  void script(std::initializer_list<float> values) { queue_.insert(queue_.end(), values); }
  float next() override {
    ++draws_;
    if (queue_.empty()) return fallback_.next();
    const float v = queue_.front();
    queue_.pop_front();
    return v;
  }
  long draws() const { return draws_; }

 private:
  std::deque<float> queue_;
  MersenneRandom fallback_;
  long draws_ = 0;
};

class TestHost : public SolverHost {
 public:
  explicit TestHost(ScreenSize screen = {1920, 1080}, std::uint32_t seed = 1)
      : screen_(screen), random_(seed) {}

  // The input handlers ask for a stop during the given do-events call (1-based).
  void stopAtDoEvents(long call) { stopAt_ = call; }

  void doEvents() override {
    ++doEventsCalls_;
    if (doEventsCalls_ == stopAt_) quit_ = true;
  }
  bool quitRequested() const override { return quit_; }
  [[noreturn]] void stopSequence() override {
    ++stopSequences_;
    throw ProgramEnded{};
  }
  void repaint() override {
    ++repaints_;
    if (onRepaint) onRepaint();
  }
  ScreenSize screenSize() const override { return screen_; }
  RandomSource& random() override { return random_; }

  ScriptedRandom& scripted() { return random_; }
  const ScriptedRandom& scripted() const { return random_; }
  long doEventsCalls() const { return doEventsCalls_; }
  long repaints() const { return repaints_; }
  long stopSequences() const { return stopSequences_; }

  std::function<void()> onRepaint;

 private:
  ScreenSize screen_;
  ScriptedRandom random_;
  long stopAt_ = -1;
  bool quit_ = false;
  long doEventsCalls_ = 0;
  long repaints_ = 0;
  long stopSequences_ = 0;
};

}  // namespace drevanti::test_support
