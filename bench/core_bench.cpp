// Micro-benchmarks of the engine: one force evaluation at full capacity in each
// instruction set, and one whole regular step. Pair terms per second are reported
// as a counter.

#include <benchmark/benchmark.h>

#include <random>

#include "core/gravity.h"
#include "run/simulation_run.h"
#include "initial/planets.h"
#include "initial/random_unit.h"

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

void BM_RegularStep(benchmark::State& bench, Isa isa) {
  if (!SelectIsa(isa)) {
    bench.SkipWithError("instruction set not supported here");
    return;
  }
  RandomSource random;
  SimulationRun run(random);
  RunSettings settings;
  settings.BodyCount = kCapacity;
  run.Begin(settings);
  for (auto _ : bench) {
    run.Step();
    run.FinishPass();
  }
  SelectIsa(BestSupportedIsa());
}
BENCHMARK_CAPTURE(BM_RegularStep, x86_64, Isa::kBaseline)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_RegularStep, avx2, Isa::kAvx2)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_RegularStep, avx512, Isa::kAvx512)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace stelvo

BENCHMARK_MAIN();
