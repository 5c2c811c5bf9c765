#include "app/demo_line.h"

#include "app/json_line.h"

namespace drevanti {

std::string demoLine(long instance, std::uint32_t seed, const SolverState& s) {
  return JsonLine()
      .field("instance", static_cast<long long>(instance))
      .field("seed", static_cast<long long>(seed))
      .field("terminals", static_cast<long long>(s.terminalCount))
      .field("steiner", static_cast<long long>(s.bestVertexCount - s.terminalCount))
      .field("length", s.bestLength)
      .field("improvements", static_cast<long long>(s.improvementCount))
      .str();
}

}  // namespace drevanti
