#include "solve_runs.h"

#include <cmath>
#include <memory>
#include <stdexcept>

#include "app/demo_line.h"
#include "app/frm_steiner.h"
#include "app/improvement_rounds.h"
#include "app/instance_generation.h"
#include "app/json_line.h"
#include "geometry/spanning_tree.h"
#include "platform/headless/headless_host.h"
#include "platform/headless/headless_window.h"
#include "render/decimal_text.h"
#include "render/scene.h"
#include "screen_fit.h"
#include "steiner/best_tree.h"
#include "svg_canvas.h"

namespace drevanti::tool {

namespace {

// The saver's scene for the best tree, with the lengths in input units underneath.
std::string drawScene(const SolverState& s, const SolveResult& r) {
  SvgCanvas canvas(kFitWidth, kFitHeight);
  Scene().repaint(s, canvas, kFitWidth);
  canvas.text(8, kFitHeight - 22,
              "length " + shortestDecimal(r.length) + "   minimum spanning tree " +
                  shortestDecimal(r.mst) + "   Steiner points " + std::to_string(r.steiner),
              kWhite, nullptr);
  return canvas.document();
}

}  // namespace

void runDemo(std::uint32_t seed, ScreenSize screen, long instances,
             const std::function<void(const std::string&)>& line) {
  HeadlessWindow window(screen);
  frmSteiner form(window, seed);
  long done = 0;
  form.afterEachInstance([&](const SolverState& s) {
    line(demoLine(done, seed, s));
    if (++done == instances) window.requestClose();
  });
  form.load();
}

SolveResult solveTerminals(const std::vector<Point>& terminals, std::uint32_t seed, long rounds) {
  const ScreenFit fit = fitToScreen(terminals);
  HeadlessHost host({kFitWidth, kFitHeight}, seed);
  auto solver = std::make_unique<Solver>(host);
  SolverState& s = solver->s;
  const int n = static_cast<int>(terminals.size());
  s.terminalCount = n;
  for (int j = 0; j < n; ++j) {
    s.vertexX[j] = fit.screen[j].x;
    s.vertexY[j] = fit.screen[j].y;
  }
  prepareTerminals(s);
  // Slots 0..N-1 keep the X order for the whole run; remember which input terminal each holds.
  std::vector<int> inputIndex(n);
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      if (fit.screen[j].x == s.vertexX[i] && fit.screen[j].y == s.vertexY[i]) inputIndex[i] = j;
    }
  }

  SolveResult r;
  r.terminals = n;
  s.vertexCount = static_cast<Integer>(n);
  mst(s);
  r.mst = edgesum(s) / fit.scale;

  runRounds(*solver, {static_cast<Long>(rounds), fit.sampleCandidates});
  r.steiner = s.bestVertexCount - n;
  r.length = s.bestLength / fit.scale;
  r.improvements = s.improvementCount;
  for (int i = n; i < s.bestVertexCount; ++i) {
    r.steinerPoints.push_back(fit.toInput({s.bestX[i], s.bestY[i]}));
  }
  const auto finite = [](double v) { return std::isfinite(v); };
  bool measurable = finite(r.mst) && finite(r.length);
  for (const Point& p : r.steinerPoints) measurable = measurable && finite(p.x) && finite(p.y);
  if (!measurable) {
    throw InputError(
        "the tree is too long to measure in doubles: its length passes the largest "
        "double, about 1.8e308");
  }
  const auto vertexNumber = [&](int v) { return v < n ? inputIndex[v] : v; };
  for (int e = 0; e + 1 < s.bestVertexCount; ++e) {
    r.edges.emplace_back(vertexNumber(s.bestEdgeFrom[e]), vertexNumber(s.bestEdgeTo[e]));
  }
  r.svg = drawScene(s, r);
  return r;
}

std::string solveJson(long instance, const SolveResult& r, bool withTree) {
  JsonLine line;
  line.field("instance", static_cast<long long>(instance))
      .field("terminals", static_cast<long long>(r.terminals))
      .field("steiner", static_cast<long long>(r.steiner))
      .field("length", r.length)
      .field("mst", r.mst)
      .field("reduction_pct", r.reductionPercent())
      .field("improvements", static_cast<long long>(r.improvements));
  if (withTree) {
    std::string points = "[", edges = "[";
    for (const Point& p : r.steinerPoints) {
      if (!std::isfinite(p.x) || !std::isfinite(p.y)) {
        throw std::runtime_error("internal error: a Steiner point is not finite");
      }
      if (points.size() > 1) points += ',';
      points.append("[")
          .append(shortestDecimal(p.x))
          .append(",")
          .append(shortestDecimal(p.y))
          .append("]");
    }
    for (auto [a, b] : r.edges) {
      if (edges.size() > 1) edges += ',';
      edges.append("[").append(std::to_string(a)).append(",").append(std::to_string(b)).append("]");
    }
    line.raw("steiner_points", points + "]").raw("edges", edges + "]");
  }
  return line.str();
}

}  // namespace drevanti::tool
