// Micro-benchmarks of the meteor-shower side at full capacity: the crossing scan
// after a step of a 109P/Swift-Tuttle cloud, and the step itself for comparison.
// The run and the scan share the run's threads (every core); the scan alone is
// timed on one thread.

#include <benchmark/benchmark.h>

#include "initial/random_unit.h"
#include "meteors/crossing_detector.h"
#include "meteors/shower_summary.h"
#include "run/simulation_run.h"

namespace stelvo {
namespace {

constexpr int kSwiftTuttle = 533;
constexpr int kEncke = 81;  // 3.3-year period: about 160 crossings per 5-day step

struct StreamRun {
  RandomSource random;
  SimulationRun run{random};
  explicit StreamRun(int comet = kSwiftTuttle) {
    RunSettings settings;
    settings.BodyCount = kCapacity;
    settings.StepDays = 5;
    settings.CometIndex = comet;
    settings.Distribution = 0;
    run.Begin(settings);
  }
};

void BM_RegularStepWithoutScan(benchmark::State& bench, int comet) {
  StreamRun r(comet);
  for (auto _ : bench) {
    r.run.Step();
    r.run.FinishPass();
  }
}
BENCHMARK_CAPTURE(BM_RegularStepWithoutScan, swift_tuttle, kSwiftTuttle)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_RegularStepWithoutScan, encke, kEncke)->Unit(benchmark::kMicrosecond);

void BM_RegularStepWithScanAndSummary(benchmark::State& bench, int comet) {
  StreamRun r(comet);
  CrossingDetector detector;
  ShowerSummary summary;
  long long crossings = 0;
  for (auto _ : bench) {
    r.run.Step();
    const auto found = detector.Scan(r.run.State(), r.run.Pool());
    summary.Add(found, r.run.State().SimDays, r.run.State().SimDays + 5);
    if (summary.CrossingCount() > 1000000) summary.Reset();
    crossings += static_cast<long long>(found.size());
    r.run.FinishPass();
  }
  bench.counters["crossings_per_step"] =
      benchmark::Counter(double(crossings), benchmark::Counter::kAvgIterations);
}
BENCHMARK_CAPTURE(BM_RegularStepWithScanAndSummary, swift_tuttle, kSwiftTuttle)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_RegularStepWithScanAndSummary, encke, kEncke)->Unit(benchmark::kMicrosecond);

// The scan alone on one state: the sign test over every particle (the few that
// crossed are measured each time).
void BM_CrossingScan(benchmark::State& bench, int comet) {
  StreamRun r(comet);
  CrossingDetector detector;
  // Advance until some particle crosses in the step, so the measurement is included.
  while (detector.Scan((r.run.Step(), r.run.State())).empty()) r.run.FinishPass();
  for (auto _ : bench) benchmark::DoNotOptimize(detector.Scan(r.run.State()).size());
  bench.counters["crossings"] = double(detector.Records().size());
}
BENCHMARK_CAPTURE(BM_CrossingScan, swift_tuttle, kSwiftTuttle)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_CrossingScan, encke, kEncke)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace stelvo

BENCHMARK_MAIN();
