// A zero-filled solver record on the heap (it is too large to keep comfortably on the stack), with
// piValue set as start-up sets it.
#pragma once

#include <memory>

#include "state/solver_state.h"

namespace drevanti::test_support {

inline std::unique_ptr<SolverState> freshState() {
  auto s = std::make_unique<SolverState>();
  s->piValue = kPiValue;
  return s;
}

}  // namespace drevanti::test_support
