// Thousands of seeded instances at mixed screen sizes, every tree checked. The sanitizer build runs
// it too; DREVANTI_SOAK_INSTANCES scales it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "app/improvement_rounds.h"
#include "app/instance_generation.h"
#include "test_host.h"
#include "tree_invariants.h"

namespace drevanti {
namespace {

using testing::TestHost;

long soakInstances() {
  const char* text = std::getenv("DREVANTI_SOAK_INSTANCES");
  return text ? std::atol(text) : 2000;
}

TEST(Soak, EveryTreeOfEveryInstanceIsSoundAndNoLongerThanTheSpanningTree) {
  const ScreenSize screens[] = {{1920, 1080}, {64, 48}, {800, 600}, {3840, 2160}, {1366, 768}};
  const long instances = soakInstances();
  long done = 0;
  for (std::uint32_t seed = 1; done < instances; ++seed) {
    TestHost host(screens[seed % 5], seed);
    auto solver = std::make_unique<Solver>(host);
    const SolverState& s = solver->s;
    // Every accepted tree was just built by mst, so the tree and the snapshot are both checked.
    host.onRepaint = [&] {
      if (s.bestLength == 99999.9) return;  // a cadence repaint at round start
      ASSERT_TRUE(testing::treeIsValid(s)) << "seed " << seed;
      ASSERT_TRUE(testing::bestTreeIsValid(s)) << "seed " << seed;
    };
    for (int k = 0; k < 4 && done < instances; ++k, ++done) {
      generateInstance(*solver);
      runRounds(*solver);
      ASSERT_TRUE(testing::treeIsValid(s)) << "seed " << seed << " instance " << k;
      ASSERT_TRUE(testing::bestTreeIsValid(s)) << "seed " << seed << " instance " << k;
      ASSERT_LE(s.bestLength, testing::terminalMstLength(s) * (1 + 1e-12))
          << "seed " << seed << " instance " << k;
      for (int i = s.terminalCount; i < s.bestVertexCount; ++i) {
        ASSERT_EQ(s.bestKind[i], 1) << "seed " << seed;
      }
    }
    if (HasFatalFailure()) return;
  }
}

}  // namespace
}  // namespace drevanti
