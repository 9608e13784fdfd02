// Cost of the shower pictures at the full particle capacity: the radiant map drawn
// anew from every sky dot the summary keeps, one step's worth of new dots when
// every particle crosses at once, and the activity profile.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <random>
#include <vector>

#include "meteors/shower_summary.h"
#include "view/activity_profile.h"
#include "view/radiant_map.h"

namespace stelvo {
namespace {

constexpr int kMapWidth = 1180, kMapHeight = 520;  // the map in a 1200 x 900 window
constexpr int kProfileWidth = 690, kProfileHeight = 300;
constexpr int kParticles = 19990;

// A summary holding as many sky dots as it keeps, all within the capture width,
// spread over the whole sky and year.
const ShowerSummary& FullSummary() {
  static const ShowerSummary& summary = []() -> const ShowerSummary& {
    static ShowerSummary made;
    std::mt19937_64 random(65536);
    std::uniform_real_distribution<double> ra(0, 360), dec(-90, 90), lambda(0, 360);
    std::vector<Crossing> crossings(kSkyDotCapacity, Crossing{});
    for (Crossing& c : crossings) {
      c.raDeg = ra(random);
      c.decDeg = dec(random);
      c.lambdaSun = lambda(random);
      c.inShower = true;
    }
    made.Add(crossings, 0, 5);
    return made;
  }();
  return summary;
}

void BM_RadiantMapRedrawAllDots(benchmark::State& state) {
  RadiantMap map;
  map.Resize(kMapWidth, kMapHeight, ChartTexts{});
  const ShowerSummary& summary = FullSummary();
  for (auto _ : state) {
    map.Redraw(summary);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * summary.DotCount());
}
BENCHMARK(BM_RadiantMapRedrawAllDots)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The worst step: every particle crossed and is drawn on top of the map.
void BM_RadiantMapAddOneStepOfDots(benchmark::State& state) {
  RadiantMap map;
  map.Resize(kMapWidth, kMapHeight, ChartTexts{});
  const ShowerSummary& summary = FullSummary();
  for (auto _ : state) {
    map.AddDots(summary, summary.DotCount() - kParticles);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_RadiantMapAddOneStepOfDots)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_ActivityProfileRedraw(benchmark::State& state) {
  ActivityProfile profile;
  profile.Resize(kProfileWidth, kProfileHeight, ChartTexts{});
  const ShowerSummary& summary = FullSummary();
  for (auto _ : state) {
    profile.Redraw(summary.Activity());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_ActivityProfileRedraw)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The grid, labels and colour wheel, drawn once per size.
void BM_RadiantMapResize(benchmark::State& state) {
  for (auto _ : state) {
    RadiantMap map;
    map.Resize(kMapWidth, kMapHeight, ChartTexts{});
    benchmark::DoNotOptimize(map.Image().constBits());
  }
}
BENCHMARK(BM_RadiantMapResize)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

}  // namespace
}  // namespace stelvo

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);  // label fonts
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
