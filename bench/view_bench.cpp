// Cost of the display per step: one run frame with the full particle capacity on a
// large drawing area, the bare block copy it contains, and the orbit background.

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include "view/background.h"
#include "view/scene_images.h"
#include "view/view_state.h"

namespace stelvo {
namespace {

constexpr int kWidth = 1880, kHeight = 860;
constexpr int kBodies = 20000;  // 10 massive bodies and 19,990 particles

ViewState BenchView(int incl) {
  ViewState view;
  SetPanelGeometry(view, kWidth + 2, kHeight + 2);
  UpdateView(view, 87, incl);
  return view;
}

struct Cloud {
  std::vector<double> x, y, z;
  BodyPositions Positions() const { return {x.data(), y.data(), z.data(), kBodies}; }
};

// Seen from the pole, particles spread evenly over the whole area, half of them below
// the ecliptic; the massive bodies on a line through the Sun, all in view.
Cloud MakeCloud(const ViewState& view) {
  Cloud cloud{std::vector<double>(kBodies), std::vector<double>(kBodies),
              std::vector<double>(kBodies)};
  std::mt19937_64 random(20000);
  const double halfX = view.CentreX / double(view.ZoomScale);
  const double halfY = view.CentreY / double(view.ZoomScale);
  std::uniform_real_distribution<double> across(-halfX, halfX), down(-halfY, halfY), height(-1, 1);
  for (int i = 0; i < kBodies; ++i) {
    if (i < 10) {
      cloud.x[i] = i * 1.0;
      cloud.y[i] = 0.3 * i;
      cloud.z[i] = 0.01 * i;
    } else {
      cloud.x[i] = across(random);
      cloud.y[i] = down(random);
      cloud.z[i] = height(random);
    }
  }
  return cloud;
}

void BM_DrawRunFrame(benchmark::State& state) {
  const ViewState view = BenchView(0);
  SceneImages scene;
  scene.Resize(view);
  PlanetTicks all{};
  all.fill(true);
  DrawBackground(scene.Background(), view, MakePlanetOrbits(), all);
  const Cloud cloud = MakeCloud(view);
  for (auto _ : state) {
    scene.DrawNextFrame(view, cloud.Positions(), all);
    benchmark::DoNotOptimize(scene.Presented().constBits());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * (kBodies - 10));
}
BENCHMARK(BM_DrawRunFrame)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

// The floor under a frame: copying the background alone, 6.5 MB at this size.
void BM_BackgroundBlockCopyOnly(benchmark::State& state) {
  const ViewState view = BenchView(0);
  SceneImages scene;
  scene.Resize(view);
  QImage frame(kWidth, kHeight, scene.Background().format());
  for (auto _ : state) {
    std::memcpy(frame.bits(), scene.Background().constBits(), frame.sizeInBytes());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_BackgroundBlockCopyOnly)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

void BM_DrawBackground(benchmark::State& state) {
  const ViewState view = BenchView(45);
  SceneImages scene;
  scene.Resize(view);
  const PlanetOrbits orbits = MakePlanetOrbits();
  PlanetTicks ticks{};
  if (state.range(0) == 0) {
    ticks = StartPlanetTicks();
  } else {
    ticks.fill(true);
  }
  for (auto _ : state) {
    DrawBackground(scene.Background(), view, orbits, ticks);
    benchmark::ClobberMemory();
  }
}
// 0: Earth and Jupiter as at start-up; 1: all eight planets.
BENCHMARK(BM_DrawBackground)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace
}  // namespace stelvo

BENCHMARK_MAIN();
