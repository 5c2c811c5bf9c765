#include "solve_runs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "app/frm_steiner.h"
#include "app/json_line.h"
#include "fake_platform.h"
#include "screen_fit.h"
#include "terminal_text.h"

namespace drevanti::tool {
namespace {

std::vector<Point> fixture(const std::string& name) {
  return readTerminalFile(std::string(std::getenv("DREVANTI_FIXTURES")) + "/tools/" + name)[0]
      .terminals;
}

void expectSoundTree(const SolveResult& r, const std::vector<Point>& terminals) {
  EXPECT_TRUE(std::isfinite(r.length));
  EXPECT_LE(r.length, r.mst * (1 + 1e-12));
  ASSERT_EQ(r.steinerPoints.size(), static_cast<std::size_t>(r.steiner));
  ASSERT_EQ(r.edges.size(), terminals.size() + r.steinerPoints.size() - 1);
  // The edges, measured in input units from the reported points, add up to the length.
  auto at = [&](int v) {
    return v < r.terminals ? terminals[v] : r.steinerPoints[v - r.terminals];
  };
  double sum = 0;
  for (auto [a, b] : r.edges) sum += std::hypot(at(a).x - at(b).x, at(a).y - at(b).y);
  EXPECT_NEAR(sum, r.length, 1e-9 * r.length);
}

TEST(SolveTerminals, FindsTheUnitSquaresSteinerTree) {
  const auto terminals = fixture("square.txt");
  const SolveResult r = solveTerminals(terminals, 1, 51);
  EXPECT_EQ(r.terminals, 4);
  EXPECT_EQ(r.steiner, 2);
  EXPECT_NEAR(r.mst, 3, 1e-12);
  EXPECT_NEAR(r.length, 1 + std::sqrt(3.0), 1e-3);
  EXPECT_NEAR(r.reductionPercent(), 100 * (3 - (1 + std::sqrt(3.0))) / 3, 0.05);
  expectSoundTree(r, terminals);
}

TEST(SolveTerminals, PutsOneSteinerPointAtTheCentreOfAnEquilateralTriangle) {
  const auto terminals = fixture("equilateral.txt");
  const SolveResult r = solveTerminals(terminals, 3, 51);
  ASSERT_EQ(r.steiner, 1);
  EXPECT_NEAR(r.length, 2 * std::sqrt(3.0), 1e-4);
  EXPECT_NEAR(r.steinerPoints[0].x, 1, 1e-3);
  EXPECT_NEAR(r.steinerPoints[0].y, 1 / std::sqrt(3.0), 1e-3);
  expectSoundTree(r, terminals);
}

TEST(SolveTerminals, SolvesTerminalsThatShareXByTurningThem) {
  const auto grid = fixture("grid_3x3.txt");
  const ScreenFit fit = fitToScreen(grid);
  EXPECT_NE(fit.angle, 0);
  const SolveResult r = solveTerminals(grid, 1, 51);
  EXPECT_NEAR(r.mst, 8, 1e-9);
  EXPECT_LT(r.length, 8);
  expectSoundTree(r, grid);
  // The reported points come back to the input's frame: all inside the grid's square.
  for (const Point& p : r.steinerPoints) {
    EXPECT_GE(p.x, -1e-9);
    EXPECT_LE(p.x, 2 + 1e-9);
  }
}

TEST(SolveTerminals, CollinearTerminalsGiveTheirPath) {
  for (const char* name : {"collinear.txt", "vertical_line.txt"}) {
    const auto terminals = fixture(name);
    const ScreenFit fit = fitToScreen(terminals);
    EXPECT_FALSE(fit.sampleCandidates) << name;
    const SolveResult r = solveTerminals(terminals, 1, 51);
    EXPECT_NEAR(r.length, r.mst, 1e-9 * r.mst) << name;
    EXPECT_EQ(r.steiner, 0) << name;
    expectSoundTree(r, terminals);
  }
  EXPECT_NEAR(solveTerminals(fixture("vertical_line.txt"), 1, 51).length, 10, 1e-9);
}

TEST(SolveTerminals, NearlyCoincidentTerminalsAreReportedNotSolved) {
  const std::vector<Point> twins{{0, 0}, {1000, 0}, {500, 700}, {500, 700.0000000001}};
  EXPECT_THROW(fitToScreen(twins), InputError);
}

TEST(SolveTerminals, FiniteInputGivesAFiniteAnswerOrSaysWhatIsOutOfRange) {
  // Near the largest double: a finite tree in the input's units.
  const std::vector<Point> huge{{0, 0}, {8e307, 0}, {0, 8e307}};
  const SolveResult r = solveTerminals(huge, 1, 51);
  expectSoundTree(r, huge);
  EXPECT_NEAR(r.length / 8e307, (1 + std::sqrt(3.0)) / std::sqrt(2.0), 1e-3);
  EXPECT_GT(r.reductionPercent(), 0);
  const auto message = [](const std::vector<Point>& t) -> std::string {
    try {
      solveTerminals(t, 1, 51);
    } catch (const InputError& e) {
      return e.what();
    }
    return "solved";
  };
  // A tree longer than any double, and terminals closer than doubles can measure.
  EXPECT_EQ(message({{1.7e308, -1.7e308}, {1.7e308, 0}, {1.7e308, 1.7e308}}),
            "the tree is too long to measure in doubles: its length passes the largest double, "
            "about 1.8e308");
  EXPECT_EQ(message({{0, 0}, {1e-310, 0}, {0, 1e-310}}),
            "the terminals' spread, 1e-310, is below 1e-300: too small to measure in doubles");
}

TEST(SolveTerminals, TheSameSeedGivesTheSameTree) {
  const auto terminals = fixture("grid_3x3.txt");
  const SolveResult a = solveTerminals(terminals, 8, 20), b = solveTerminals(terminals, 8, 20);
  EXPECT_EQ(solveJson(1, a, true), solveJson(1, b, true));
}

TEST(ScreenFit, MapsTheBoundingBoxOntoTheScreenKeepingProportions) {
  const std::vector<Point> t{{-5, 2}, {5, 2}, {0, 4}};
  const ScreenFit fit = fitToScreen(t);
  EXPECT_EQ(fit.angle, 0);
  EXPECT_DOUBLE_EQ(fit.scale, 1890.0 / 10);
  EXPECT_DOUBLE_EQ(fit.screen[0].x, 15);
  EXPECT_DOUBLE_EQ(fit.screen[1].x, 1905);
  EXPECT_DOUBLE_EQ(fit.screen[2].y, 15 + 2 * 189.0);
  const Point back = fit.toInput(fit.screen[2]);
  EXPECT_DOUBLE_EQ(back.x, 0);
  EXPECT_DOUBLE_EQ(back.y, 4);
}

TEST(SolveJson, WritesTheFieldsInOrderWithRoundTripNumbers) {
  SolveResult r;
  r.terminals = 4;
  r.steiner = 2;
  r.length = 2.7320508075688772;
  r.mst = 3;
  r.improvements = 5;
  r.steinerPoints = {{0.5, 0.25}, {0.1, 1e-20}};
  r.edges = {{4, 5}, {0, 4}};
  const std::string plain = solveJson(2, r, false);
  EXPECT_EQ(
      plain.rfind("{\"instance\":2,\"terminals\":4,\"steiner\":2,\"length\":2.732050807568877,"
                  "\"mst\":3,\"reduction_pct\":",
                  0),
      0u);
  EXPECT_EQ(std::stod(plain.substr(plain.find("reduction_pct") + 15)), 100 * (3 - r.length) / 3);
  EXPECT_NE(plain.find(",\"improvements\":5}"), std::string::npos);
  EXPECT_NE(solveJson(2, r, true)
                .find("\"steiner_points\":[[0.5,0.25],[0.1,1e-20]],"
                      "\"edges\":[[4,5],[0,4]]}"),
            std::string::npos);
  r.length = std::nan("");
  EXPECT_THROW(solveJson(1, r, false), std::runtime_error);
}

std::vector<std::string> demoLines(std::uint32_t seed, ScreenSize screen, long instances) {
  std::vector<std::string> lines;
  runDemo(seed, screen, instances, [&](const std::string& line) { lines.push_back(line); });
  return lines;
}

TEST(RunDemo, PrintsOneLinePerInstanceFromTheSeed) {
  const auto lines = demoLines(1, {1920, 1080}, 3);
  ASSERT_EQ(lines.size(), 3u);
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(
        lines[k].rfind("{\"instance\":" + std::to_string(k) + ",\"seed\":1,\"terminals\":", 0), 0u);
  }
  EXPECT_EQ(demoLines(1, {1920, 1080}, 2)[1], lines[1]);
  EXPECT_NE(demoLines(2, {1920, 1080}, 1)[0], lines[0]);
  // Screens of any size, down to a single pixel.
  for (ScreenSize screen : {ScreenSize{64, 48}, ScreenSize{16, 16}, ScreenSize{1, 1}}) {
    EXPECT_EQ(demoLines(4, screen, 2).size(), 2u);
  }
}

TEST(RunDemo, MatchesWhatTheSaverComputesFromTheSameSeed) {
  // The saver draws no random number for its drawing, so its first instance is the demo's.
  test_support::FakeWindow window({1280, 720});
  frmSteiner form(window, 31);
  std::string saverLine;
  window.onDispatch = [&](FormEvents& h, long) {
    const SolverState& s = form.state();
    if (s.roundCounter != 51 || !saverLine.empty()) return;
    saverLine = JsonLine()
                    .field("instance", 0LL)
                    .field("seed", 31LL)
                    .field("terminals", static_cast<long long>(s.terminalCount))
                    .field("steiner", static_cast<long long>(s.bestVertexCount - s.terminalCount))
                    .field("length", s.bestLength)
                    .field("improvements", static_cast<long long>(s.improvementCount))
                    .str();
    h.onClick();
  };
  form.load();
  EXPECT_EQ(saverLine, demoLines(31, {1280, 720}, 1)[0]);
}

}  // namespace
}  // namespace drevanti::tool
