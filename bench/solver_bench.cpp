// Speed of the solver's hot paths: the spanning tree at full capacity, one round and whole
// instances, all from fixed seeds.
#include <benchmark/benchmark.h>

#include <memory>

#include "app/improvement_rounds.h"
#include "app/instance_generation.h"
#include "geometry/spanning_tree.h"
#include "platform/headless/headless_host.h"

namespace drevanti {
namespace {

// An instance with exactly n terminals: instances are generated until one has that many.
std::unique_ptr<Solver> instanceWith(HeadlessHost& host, int n) {
  auto solver = std::make_unique<Solver>(host);
  do generateInstance(*solver);
  while (solver->s.terminalCount != n);
  return solver;
}

void BM_MstAt101Vertices(benchmark::State& state) {
  HeadlessHost host({1920, 1080}, 42);
  auto solver = std::make_unique<Solver>(host);
  SolverState& s = solver->s;
  MersenneRandom random(7);
  s.vertexCount = 101;
  for (int i = 0; i < 101; ++i) {
    s.vertexX[i] = random.next() * 1890.0 + 15;
    s.vertexY[i] = random.next() * 1050.0 + 15;
    s.vertexKind[i] = i < 49 ? 0 : 1;
  }
  for (auto _ : state) {
    mst(s);
    benchmark::DoNotOptimize(s.treeEdgeCount);
  }
}
BENCHMARK(BM_MstAt101Vertices);

void BM_OneRoundAt49Terminals(benchmark::State& state) {
  HeadlessHost host({1920, 1080}, 42);
  auto solver = instanceWith(host, 49);
  for (auto _ : state) {
    runRounds(*solver, {1, true});
    benchmark::DoNotOptimize(solver->s.bestLength);
  }
}
BENCHMARK(BM_OneRoundAt49Terminals)->Unit(benchmark::kMillisecond);

void BM_WholeInstance(benchmark::State& state) {
  HeadlessHost host({1920, 1080}, 42);
  auto solver = instanceWith(host, static_cast<int>(state.range(0)));
  const SolverState saved = solver->s;
  for (auto _ : state) {
    solver->s = saved;
    runRounds(*solver);
    benchmark::DoNotOptimize(solver->s.bestLength);
  }
}
BENCHMARK(BM_WholeInstance)->Arg(10)->Arg(25)->Arg(49)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace drevanti

BENCHMARK_MAIN();
