// Micro-benchmarks of the engine: one force evaluation of 20000 bodies in each
// instruction set (pair terms per second as a counter), the regular step of 20000
// bodies in each instruction set on one thread, and the regular step of 4000 to
// 1,000,000 bodies on 1 and 2 threads with the best instruction set.

#include <benchmark/benchmark.h>

#include <random>

#include "core/gravity.h"
#include "initial/planets.h"
#include "initial/random_unit.h"
#include "run/simulation_run.h"

namespace stelvo {
namespace {

// The ten massive bodies at the epoch and particles spread between 0.5 and 40 AU.
std::unique_ptr<RunState> SyntheticBodies() {
  auto s = std::make_unique<RunState>(kCapacity);
  s->BodyCount = kCapacity;
  SetMassiveBodies(*s);
  std::mt19937_64 generator(11);
  std::uniform_real_distribution<double> radius(0.5, 40), angle(0, 6.283185307179586),
      height(-0.5, 0.5);
  for (int i = kMassiveCount; i < kCapacity; ++i) {
    const double r = radius(generator), phi = angle(generator);
    s->Pos(kX, 0)[i] = r * std::cos(phi);
    s->Pos(kY, 0)[i] = r * std::sin(phi);
    s->Pos(kZ, 0)[i] = height(generator);
    s->BodyGM()[i] = 0;
  }
  return s;
}

void BM_ForceEvaluation(benchmark::State& bench, Isa isa) {
  if (!SelectIsa(isa)) {
    bench.SkipWithError("instruction set not supported here");
    return;
  }
  auto s = SyntheticBodies();
  for (auto _ : bench) {
    InitialAccelerations(*s);
    benchmark::ClobberMemory();
  }
  const double pairs = double(kCapacity - kMassiveCount) * kMassiveCount + kMassiveCount * 9;
  bench.counters["pair_terms_per_second"] =
      benchmark::Counter(pairs, benchmark::Counter::kIsIterationInvariantRate);
  SelectIsa(BestSupportedIsa());
}
BENCHMARK_CAPTURE(BM_ForceEvaluation, x86_64, Isa::kBaseline)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_ForceEvaluation, avx2, Isa::kAvx2)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_ForceEvaluation, avx512, Isa::kAvx512)->Unit(benchmark::kMicrosecond);

void StepOnly(benchmark::State& bench, int bodies, int threads) {
  RandomSource random;
  SimulationRun run(random);
  run.SetThreads(threads);
  RunSettings settings;
  settings.BodyCount = bodies;
  settings.MaxBodyCount = kMaxBodyCount;
  run.Begin(settings);
  for (auto _ : bench) {
    run.Step();
    run.FinishPass();
  }
  bench.counters["bodies"] = bodies;
  bench.counters["threads"] = threads;
}

void BM_RegularStep(benchmark::State& bench, Isa isa) {
  if (!SelectIsa(isa)) {
    bench.SkipWithError("instruction set not supported here");
    return;
  }
  StepOnly(bench, kCapacity, 1);
  SelectIsa(BestSupportedIsa());
}
BENCHMARK_CAPTURE(BM_RegularStep, x86_64, Isa::kBaseline)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_RegularStep, avx2, Isa::kAvx2)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_RegularStep, avx512, Isa::kAvx512)->Unit(benchmark::kMicrosecond);

// Wall-clock time: with two threads the CPU time of the calling thread says little.
void BM_RegularStepThreads(benchmark::State& bench) {
  StepOnly(bench, static_cast<int>(bench.range(0)), static_cast<int>(bench.range(1)));
}
BENCHMARK(BM_RegularStepThreads)
    ->ArgsProduct({{4000, 20000, 200000, 1000000}, {1, 2}})
    ->ArgNames({"bodies", "threads"})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace stelvo

BENCHMARK_MAIN();
