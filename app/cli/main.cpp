// stelvo-cli: the headless companion of the window program, for batch runs,
// checks and benchmarks. Runs exactly what the window runs, without drawing
// unless a PNG or frame sequence is asked for.

#include <signal.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <iostream>
#include <string>
#include <vector>

#include "cli_options.h"
#include "core/atomic_file.h"
#include "core/gravity.h"
#include "core/progress.h"
#include "core/run_error.h"
#include "core/state_digest.h"
#include "run/simulation_run.h"
#include "frame_output.h"
#include "progress_line.h"
#include "shower_output.h"
#include "stream_command.h"
#include "data/comet_catalogue.h"
#include "initial/orbit.h"
#include "meteors/forecast.h"
#include "meteors/sky_geometry.h"

namespace stelvo {
namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

double PeakRssMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024.0;  // kilobytes on Linux
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  const auto middle = values.begin() + values.size() / 2;
  std::nth_element(values.begin(), middle, values.end());
  if (values.size() % 2 == 1) return *middle;
  return (*middle + *std::max_element(values.begin(), middle)) / 2;
}

// The newest accepted point sits in slot 4 after a completed pass.
constexpr int kAcceptedSlot = 4;

void PrintState(const RunState& s, int passes) {
  std::printf("time_days %.17g\n", s.SimDays);
  std::printf("startup_passes %d\n", passes);
  for (int i = 0; i < s.MassiveCount; ++i) {
    std::printf("body %d", i + 1);
    for (int axis = 0; axis < 3; ++axis) std::printf(" %.17g", s.Pos(axis, kAcceptedSlot)[i]);
    for (int axis = 0; axis < 3; ++axis) std::printf(" %.17g", s.Vel(axis, kAcceptedSlot)[i]);
    std::printf("\n");
  }
}

bool WriteCsv(const RunState& s, const std::string& path, std::string& error) {
  return WriteFileAtomically(
      path,
      [&s](std::FILE* f) {
        if (std::fprintf(f, "body,x,y,z,vx,vy,vz\n") < 0) return false;
        for (int i = 0; i < s.BodyCount; ++i) {
          if (std::fprintf(f, "%d,%.17g,%.17g,%.17g,%.17g,%.17g,%.17g\n", i + 1,
                           s.Pos(kX, kAcceptedSlot)[i], s.Pos(kY, kAcceptedSlot)[i],
                           s.Pos(kZ, kAcceptedSlot)[i], s.Vel(kX, kAcceptedSlot)[i],
                           s.Vel(kY, kAcceptedSlot)[i], s.Vel(kZ, kAcceptedSlot)[i]) < 0) {
            return false;
          }
        }
        return true;
      },
      error);
}

// Ctrl+C asks the work to stop at its next step boundary; the handler only sets the
// flag. The handler is reset as it runs, so a second Ctrl+C ends the program at once.
constexpr int kInterruptedStatus = 130;
Progress* interruptible = nullptr;

extern "C" void RequestStop(int) { interruptible->Cancel(); }

class StopOnInterrupt {
 public:
  explicit StopOnInterrupt(Progress& progress) {
    interruptible = &progress;
    struct sigaction action {};
    action.sa_handler = RequestStop;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &previous_);
  }
  ~StopOnInterrupt() { sigaction(SIGINT, &previous_, nullptr); }

 private:
  struct sigaction previous_ {};
};

// A start-up pass costs about four steps and takes some ten passes: its share of a run.
constexpr double kStartupInSteps = 40;

std::string RunLabel(const CliOptions& o, int r) {
  return o.runs > 1 ? "run " + std::to_string(r + 1) + "/" + std::to_string(o.runs) + " " : "";
}

Isa IsaFromName(const std::string& name) {
  if (name == "avx512") return Isa::kAvx512;
  if (name == "avx2") return Isa::kAvx2;
  return Isa::kBaseline;
}

int Forecast(const CliOptions& o) {
  ForecastSettings s;
  s.cometIndex = o.comet;
  s.trailFrom = o.trailFrom;
  s.trailTo = o.trailTo;
  s.forecastFrom = o.forecastFrom;
  s.forecastTo = o.forecastTo;
  s.perTrail = o.perTrail;
  s.stepDays = o.trailStepDays;
  s.ejection.grainRadiusMinMm = o.grainMinMm;
  s.ejection.grainRadiusMaxMm = o.grainMaxMm;
  s.ejection.grainDensityKgM3 = o.densityKgM3;
  s.ejection.nucleusRadiusKm = o.nucleusKm;
  s.encounterAu = o.nearAu;
  s.windowDays = o.windowDays;
  s.threads = o.threads > 0 ? o.threads : WorkerPool::AllCores();
  const auto t0 = Clock::now();
  Progress progress;
  const StopOnInterrupt stopOnInterrupt(progress);
  ProgressLine line(progress, ProgressLine::ForStderr(o.progress));
  progress.BeginStage("forecast", 0, 1);
  const ForecastResult r = RunForecast(s, ReportInto(progress, s));
  line.Stop();
  const double seconds = Milliseconds(Clock::now() - t0) / 1000;
  if (r.cancelled) {
    // The trails are integrated side by side and grouped only at the end: an
    // interrupted forecast has no encounters to show.
    std::fprintf(stderr,
                 "stelvo-cli: interrupted after %.1f s, %.0f %% of the forecast done; no "
                 "encounters and no file written\n",
                 seconds, std::floor(progress.Read().fraction * 100));
    return kInterruptedStatus;
  }
  std::printf("%.*s\n", static_cast<int>(kCometCatalogue[o.comet].size()) - 100,
              kCometCatalogue[o.comet].data() + 100);
  for (const TrailInfo& t : r.trails) {
    std::printf("trail %d  perihelion %s  particles %d\n", t.year,
                FormatUtc(t.perihelionJd).c_str(), t.grains);
  }
  std::printf("%-6s %-17s %10s %9s %9s %7s %6s %6s\n", "trail", "peak (UTC)", "lambda_sun",
              "miss_au", "particles", "ra", "dec", "vg");
  for (const TrailEncounter& e : r.encounters) {
    std::printf("%-6d %-17s %10.4f %+9.5f %9d %7.2f %+6.2f %6.2f\n", e.trailYear,
                FormatUtc(e.peakJd).c_str(), e.lambdaSun, e.missAu, e.particles, e.raDeg, e.decDeg,
                e.vgKmS);
  }
  if (r.encounters.empty()) std::printf("no encounters\n");
  if (o.bench) {
    const ForecastTimings& t = r.timings;
    std::printf("seconds_total %.2f\nseconds_passages %.2f\nseconds_epochs %.2f\n"
                "seconds_release %.2f\nseconds_startup %.2f\nseconds_steps %.2f\n"
                "seconds_crossings %.2f\nseconds_encounters %.2f\ntrail_steps %lld\n"
                "ns_per_particle_step %.2f\npeak_rss_mb %.1f\n",
                seconds, t.passages, t.epochs, t.release, t.startup, t.steps, t.crossings,
                t.encounters, t.trailSteps,
                t.steps * 1e9 / (static_cast<double>(t.trailSteps) * o.perTrail), PeakRssMegabytes());
  }
  std::printf(
      "times in the run's time scale written as UTC (TT - UTC, 64-69 s, neglected); "
      "%.1f s\n",
      seconds);
  if (!o.forecastCsvPath.empty()) {
    std::string error;
    if (!WriteBytesAtomically(o.forecastCsvPath, ForecastCsv(r.encounters), error)) {
      std::fprintf(stderr, "stelvo-cli: %s\n", error.c_str());
      return 1;
    }
  }
  return 0;
}

int Run(const CliOptions& o) {
  if (o.trailFrom != 0) return Forecast(o);
  if (o.streamFrom != 0) {
    Progress progress;
    const StopOnInterrupt stopOnInterrupt(progress);
    return StreamCommand(o, progress, kInterruptedStatus);
  }
  if (!o.isa.empty() && !SelectIsa(IsaFromName(o.isa))) {
    std::fprintf(stderr, "stelvo-cli: --isa %s: this processor does not support it\n",
                 o.isa.c_str());
    return 1;
  }
  RunSettings settings;
  settings.BodyCount = o.bodies;
  settings.MaxBodyCount = kMaxBodyCount;
  settings.StepDays = o.stepDays;
  settings.CometIndex = o.comet;
  settings.Distribution = o.dist;
  settings.DistributionText = std::to_string(o.dist);
  settings.EpochJD = o.epochJD;

  if (!o.framesDir.empty() && !std::filesystem::is_directory(o.framesDir)) {
    std::fprintf(stderr, "stelvo-cli: --frames %s is not an existing directory\n",
                 o.framesDir.c_str());
    return 1;
  }
  const std::unique_ptr<FrameOutput> frames = FrameOutput::For(o);
  const std::unique_ptr<ShowerOutput> showers = ShowerOutput::For(o);
  SimulationRun run;
  run.SetThreads(o.threads > 0 ? o.threads : WorkerPool::AllCores());
  std::vector<double> stepMs, showersMs;  // whole steps, and their crossing scans
  double startupMs = 0, loopMs = 0;
  Progress progress;
  const StopOnInterrupt stopOnInterrupt(progress);
  ProgressLine line(progress, ProgressLine::ForStderr(o.progress));
  bool interrupted = false, started = false;
  int runsDone = 0, stepsDone = 0;
  for (int r = 0; r < o.runs && !interrupted; ++r) {
    const bool last = r + 1 == o.runs;
    const double runShare = 1.0 / o.runs;
    const double startupShare = runShare * kStartupInSteps / (kStartupInSteps + o.steps);
    progress.BeginStage(RunLabel(o, r) + "start-up", r * runShare, r * runShare + startupShare);
    const auto t0 = Clock::now();
    started = false;
    try {
      run.Begin(settings, &progress);
    } catch (const RunCancelled&) {
      interrupted = true;
      break;
    }
    started = true;
    const auto t1 = Clock::now();
    if (last) {
      startupMs = Milliseconds(t1 - t0);
      // Filled up front, so that the timings' own pages do not show as growth.
      stepMs.assign(o.bench ? o.steps : 0, 0.0);
      showersMs.assign(o.bench && showers ? o.steps : 0, 0.0);
    }
    progress.BeginStage(RunLabel(o, r) + "steps", r * runShare + startupShare, (r + 1) * runShare);
    stepsDone = 0;
    for (int k = 0; k < o.steps; ++k) {
      const auto before = Clock::now();
      run.Step();
      if (last && frames) {
        std::string error;
        if (!frames->AfterStep(run.State(), k + 1, k + 1 == o.steps, error)) {
          line.Stop();
          std::fprintf(stderr, "stelvo-cli: %s\n", error.c_str());
          return 1;
        }
      }
      if (last && showers) {
        std::string error;
        const auto scanStart = Clock::now();
        if (!showers->AfterStep(run.State(), run.Pool(), error)) {
          line.Stop();
          std::fprintf(stderr, "stelvo-cli: %s\n", error.c_str());
          return 1;
        }
        if (o.bench) showersMs[k] = Milliseconds(Clock::now() - scanStart);
      }
      run.FinishPass();
      if (last && o.bench) stepMs[k] = Milliseconds(Clock::now() - before);
      stepsDone = k + 1;
      progress.SetStageText(RunLabel(o, r) + "steps " + std::to_string(k + 1) + "/" +
                            std::to_string(o.steps));
      progress.Report(double(k + 1) / o.steps, run.State().EpochJD + run.State().SimDays);
      if (progress.CancelRequested()) {
        interrupted = k + 1 < o.steps || !last;
        break;
      }
    }
    if (last) loopMs = Milliseconds(Clock::now() - t1);
    if (!interrupted) ++runsDone;
  }
  line.Stop();

  const RunState& state = run.State();
  if (interrupted) {
    // What was computed is summed up; no file is written from an unfinished run.
    const std::string inRun =
        o.runs > 1 ? " of run " + std::to_string(runsDone + 1) + " of " + std::to_string(o.runs)
                   : "";
    if (started) {
      std::fprintf(stderr,
                   "stelvo-cli: interrupted after %d of %d steps%s (%.2f years simulated); "
                   "no file written\n",
                   stepsDone, o.steps, inRun.c_str(), state.SimDays / 365.25);
      if (o.state) PrintState(state, run.StartupPasses());
      if (showers) showers->PrintSummary(state);
    } else {
      std::fprintf(stderr, "stelvo-cli: interrupted in the start-up%s; no file written\n",
                   inRun.c_str());
    }
    return kInterruptedStatus;
  }
  if (o.state) PrintState(state, run.StartupPasses());
  if (o.digest) std::printf("state_digest %s\n", DigestHex(StateDigest(state)).c_str());
  if (o.bench) {
    std::printf("isa %s\n", std::string(IsaName(ActiveIsa())).c_str());
    std::printf("threads %d\n", run.Threads());
    std::printf("bodies %d\n", state.BodyCount);
    std::printf("startup_ms %.3f\n", startupMs);
    std::printf("ms_per_step %.4f\n", Median(stepMs));
    if (showers) std::printf("showers_ms_per_step %.4f\n", Median(showersMs));
    std::printf("steps_per_second %.1f\n", o.steps / (loopMs / 1000.0));
    std::printf("peak_rss_mb %.1f\n", PeakRssMegabytes());
  }
  if (!o.csvPath.empty()) {
    std::string error;
    if (!WriteCsv(state, o.csvPath, error)) {
      std::fprintf(stderr, "stelvo-cli: %s\n", error.c_str());
      return 1;
    }
  }
  if (showers) {
    std::string error;
    if (!showers->Finish(state, error)) {
      std::fprintf(stderr, "stelvo-cli: %s\n", error.c_str());
      return 1;
    }
  }
  return 0;
}

}  // namespace
}  // namespace stelvo

int main(int argc, char** argv) {
  using namespace stelvo;
  const CliParse parse = ParseCliOptions(std::vector<std::string>(argv + 1, argv + argc));
  if (!parse.options) {
    std::fprintf(stderr, "stelvo-cli: %s\n", parse.error.c_str());
    return 2;
  }
  const CliOptions& o = *parse.options;
  if (o.help) {
    std::fputs(CliUsage().c_str(), stdout);
    return 0;
  }
  if (o.listComets) {
    for (int i = 0; i < kCometCount; ++i) {
      std::printf("%d %.*s\n", i, static_cast<int>(kCometCatalogue[i].size()),
                  kCometCatalogue[i].data());
    }
    return 0;
  }
  try {
    return Run(o);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "stelvo-cli: %s\n", e.what());
    return 1;
  }
}
