// The line the demonstration reports for each finished instance, as drevanti-solve demo prints it
// (and the browser page writes to its console when given a seed):
// {"instance":k,"seed":S,"terminals":N,"steiner":M,"length":L,"improvements":I}
#pragma once

#include <cstdint>
#include <string>

#include "state/solver_state.h"

namespace drevanti {

std::string demoLine(long instance, std::uint32_t seed, const SolverState& s);

}  // namespace drevanti
