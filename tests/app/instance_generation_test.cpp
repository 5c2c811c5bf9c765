#include "app/instance_generation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>

#include "test_host.h"
#include "tree_invariants.h"

namespace drevanti {
namespace {

using test_support::TestHost;

struct Generated {
  std::unique_ptr<TestHost> host;
  std::unique_ptr<Solver> solver;
};

Generated generate(ScreenSize screen, std::uint32_t seed,
                   std::initializer_list<float> script = {}) {
  Generated g{std::make_unique<TestHost>(screen, seed), nullptr};
  g.host->scripted().script(script);
  g.solver = std::make_unique<Solver>(*g.host);
  generateInstance(*g.solver);
  return g;
}

TEST(InstanceGeneration, TerminalCountSpansFourToFortyNine) {
  EXPECT_EQ(generate({1920, 1080}, 1, {0.0f}).solver->s.terminalCount, 4);
  EXPECT_EQ(generate({1920, 1080}, 1, {1.0f - 0x1p-24f}).solver->s.terminalCount, 49);
  // 45/46 is the smallest draw giving 49.
  EXPECT_EQ(generate({1920, 1080}, 1, {0.978261f}).solver->s.terminalCount, 49);
  EXPECT_EQ(generate({1920, 1080}, 1, {0.978260f}).solver->s.terminalCount, 48);
  std::set<int> seen;
  for (std::uint32_t seed = 0; seed < 2000; ++seed) {
    const int n = generate({1920, 1080}, seed).solver->s.terminalCount;
    ASSERT_GE(n, 4);
    ASSERT_LE(n, 49);
    seen.insert(n);
  }
  EXPECT_EQ(seen.size(), 46u);
}

TEST(InstanceGeneration, TerminalsLieInsideTheMarginsSortedByXWithTheirOwnY) {
  for (std::uint32_t seed = 0; seed < 200; ++seed) {
    const auto g = generate({1920, 1080}, seed);
    const SolverState& s = g.solver->s;
    for (int j = 0; j < s.terminalCount; ++j) {
      ASSERT_GE(s.vertexX[j], 15);
      ASSERT_LT(s.vertexX[j], 1905);
      ASSERT_GE(s.vertexY[j], 15);
      ASSERT_LT(s.vertexY[j], 1065);
      ASSERT_EQ(s.vertexKind[j], 0);
      ASSERT_EQ(s.savedX[j], s.vertexX[j]);
      ASSERT_EQ(s.savedY[j], s.vertexY[j]);
      if (j > 0) {
        ASSERT_LT(s.vertexX[j - 1], s.vertexX[j]);
      }
    }
    EXPECT_EQ(s.bestLength, kNoBestLength);
    EXPECT_EQ(s.improvementCount, 0);
  }
}

TEST(InstanceGeneration, EachTerminalKeepsTheYDrawnWithItsX) {
  // N = 4 on a 130 x 130 screen, where x = 100 r1 + 15 and y = 100 r2 + 15.
  const auto g =
      generate({130, 130}, 1, {0.0f, 0.5f, 0.25f, 0.125f, 0.75f, 0.875f, 0.125f, 0.375f, 0.5f});
  const SolverState& s = g.solver->s;
  const double expected[4][2] = {{27.5, 90}, {52.5, 65}, {65, 40}, {102.5, 27.5}};
  for (int j = 0; j < 4; ++j) {
    EXPECT_DOUBLE_EQ(s.vertexX[j], expected[j][0]);
    EXPECT_DOUBLE_EQ(s.vertexY[j], expected[j][1]);
  }
}

TEST(InstanceGeneration, ATerminalSharingAnXIsDrawnAgain) {
  // The second terminal repeats the first one's X (65), so its X and Y are drawn once more.
  const auto g = generate(
      {130, 130}, 1, {0.0f, 0.5f, 0.5f, 0.5f, 0.25f, 0.25f, 0.75f, 0.125f, 0.375f, 0.875f, 0.875f});
  const SolverState& s = g.solver->s;
  EXPECT_EQ(g.host->scripted().draws(), 11);
  const double expected[4][2] = {{27.5, 52.5}, {40, 90}, {65, 65}, {102.5, 102.5}};
  for (int j = 0; j < 4; ++j) {
    EXPECT_DOUBLE_EQ(s.vertexX[j], expected[j][0]);
    EXPECT_DOUBLE_EQ(s.vertexY[j], expected[j][1]);
  }
}

TEST(InstanceGeneration, EveryTerminalSatisfiesEveryHullLine) {
  for (std::uint32_t seed = 0; seed < 300; ++seed) {
    const auto g = generate({1920, 1080}, seed);
    const SolverState& s = g.solver->s;
    ASSERT_GE(s.upperHullCount, 1);
    ASSERT_GE(s.lowerHullCount, 1);
    for (int j = 0; j < s.terminalCount; ++j) {
      for (int l = 0; l < s.upperHullCount; ++l) {
        ASSERT_LE(s.vertexY[j], s.upperSlope[l] * s.vertexX[j] + s.upperIntercept[l] + 1e-6);
      }
      for (int l = 0; l < s.lowerHullCount; ++l) {
        ASSERT_GE(s.vertexY[j], s.lowerSlope[l] * s.vertexX[j] + s.lowerIntercept[l] - 1e-6);
      }
    }
  }
}

TEST(InstanceGeneration, KeepsThePreviousBestTreeUntilANewOneIsTaken) {
  TestHost host;
  auto solver = std::make_unique<Solver>(host);
  SolverState& s = solver->s;
  s.bestVertexCount = 17;
  s.bestX[3] = 123.5;
  s.improvementCount = 9;
  generateInstance(*solver);
  EXPECT_EQ(s.bestVertexCount, 17);
  EXPECT_EQ(s.bestX[3], 123.5);
  EXPECT_EQ(s.improvementCount, 0);
  EXPECT_EQ(s.bestLength, kNoBestLength);
}

}  // namespace
}  // namespace drevanti
