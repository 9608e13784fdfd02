#include "stream_command.h"

#include <chrono>
#include <cmath>
#include <cstdio>

#include "core/atomic_file.h"
#include "core/run_error.h"
#include "core/worker_pool.h"
#include "data/comet_catalogue.h"
#include "initial/catalogue.h"
#include "meteors/record_format.h"
#include "meteors/sky_geometry.h"
#include "meteors/stream.h"
#include "meteors/zhr_model.h"
#include "orbit_commands.h"
#include "progress_line.h"

namespace stelvo {

namespace {

// The stream's settings from the options; solutions must outlive the run.
StreamSettings SettingsOf(const CliOptions& o, const std::vector<OrbitSolution>& solutions) {
  StreamSettings s;
  s.cometIndex = o.comet;
  s.releaseFrom = o.streamFrom;
  s.releaseTo = o.streamTo;
  s.forecastFrom = o.forecastFrom;
  s.forecastTo = o.forecastTo;
  s.perReturn = o.perTrail;
  s.ejection = EjectionSettingsFrom(o);
  s.solutions = &solutions;
  // Each grain weighs the visible meteoroids it stands for, as in the trail forecast.
  WeighByVisibleMeteoroids(s);
  s.stepDays = o.trailStepDays;
  s.farStepDays = o.farStepDays;
  s.nearYears = o.nearYears;
  s.setAsideAu = o.setAsideAu;
  s.captureAu = o.captureAu;
  s.encounterAu = o.encounterAu;
  s.threads = o.threads > 0 ? o.threads : WorkerPool::AllCores();
  return s;
}

}  // namespace

int StreamCommand(const CliOptions& o, Progress& progress, ProgressLine& line,
                  int interruptedStatus) {
  SolutionTable table;
  std::string error;
  if (!LoadSolutions(o, table, error)) {
    std::fprintf(stderr, "stelvo-cli: %s\n", error.c_str());
    return 2;
  }
  const StreamSettings s = SettingsOf(o, table.solutions);
  const auto t0 = std::chrono::steady_clock::now();
  progress.BeginStage("stream", 0, 1);
  StreamResult r;
  try {
    r = RunStream(s, ReportInto(progress, s));
  } catch (const ArithmeticError&) {
    throw;
  } catch (const RunError& e) {
    line.Stop();
    std::fprintf(stderr, "stelvo-cli: %s\n", e.what());
    return 2;
  }
  line.Stop();
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  if (r.cancelled) {
    std::fprintf(stderr,
                 "stelvo-cli: interrupted after %.1f s, %.0f %% of the stream done; no showers "
                 "and no file written\n",
                 seconds, std::floor(progress.Read().fraction * 100));
    return interruptedStatus;
  }
  std::printf("%.*s\n", static_cast<int>(kCometCatalogue[o.comet].size()) - 100,
              kCometCatalogue[o.comet].data() + 100);
  long long grains = 0, setAside = 0;
  for (const StreamReturn& ret : r.returns) {
    std::printf("return %d  perihelion %s  grains %d  set_aside %d  %s\n", ret.year,
                FormatUtc(ret.perihelionJd).c_str(), ret.grains, ret.setAside,
                ret.solution.c_str());
    grains += ret.grains;
    setAside += ret.setAside;
  }
  std::printf("returns %zu\ngrains %lld\nset_aside %lld\n", r.returns.size(), grains, setAside);
  std::printf("crossings %lld\ncaptured %zu\n", r.crossingCount, r.crossings.size());
  for (const StreamShower& w : r.showers) {
    std::printf("shower %s", Line(Cells(ShowerColumns(), w.shower, Output::kText), ' ').c_str());
  }
  for (const StreamShower& w : r.showers) {
    std::printf("activity %.2f %.2f %.4g %.2f\n", w.shower.lambdaSun, w.peak.lambda, w.peak.rate,
                w.peak.fwhmDeg);
  }
  for (std::size_t k = 0; k < r.profile.size(); ++k) {
    if (r.profile[k] > 0) {
      std::printf("profile %.2f %.4g\n", (k + 0.5) * r.profileBinDeg, r.profile[k]);
    }
  }
  std::printf("largest_node_shift_au %.4f\n", r.largestNodeShiftAu);
  if (o.bench) {
    const StreamTimings& t = r.timings;
    std::printf("seconds_total %.2f\nseconds_passages %.2f\nseconds_epochs %.2f\n"
                "seconds_release %.2f\nseconds_startup %.2f\nseconds_steps %.2f\n"
                "seconds_crossings %.2f\nseconds_gathering %.2f\ngrain_steps %lld\n"
                "ns_per_grain_step %.2f\n",
                seconds, t.passages, t.epochs, t.release, t.startup, t.steps, t.crossings,
                t.gathering, t.grainSteps,
                t.grainSteps > 0 ? t.steps * 1e9 / static_cast<double>(t.grainSteps) : 0.0);
  }
  std::printf("%.1f s\n", seconds);
  if (!o.showersPath.empty()) {
    std::string error;
    const bool written = WriteFileAtomically(
        o.showersPath,
        [&r](std::FILE* out) {
          // Exactly the --showers columns of a run; the weights are in the
          // shower lines and the profile.
          const auto columns = CrossingColumns();
          if (std::fputs(CsvHeader(columns, kCoreColumns).c_str(), out) < 0) return false;
          for (const Crossing& c : r.crossings) {
            if (std::fputs(CsvRow(columns, c, kCoreColumns).c_str(), out) < 0) return false;
          }
          return true;
        },
        error);
    if (!written) {
      std::fprintf(stderr, "stelvo-cli: %s\n", error.c_str());
      return 1;
    }
  }
  return 0;
}

}  // namespace stelvo
