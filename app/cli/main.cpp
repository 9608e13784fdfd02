// stelvo-cli: the headless companion of the window program, for batch runs,
// checks and benchmarks. Runs exactly what the window runs, without drawing
// unless a PNG or frame sequence is asked for.

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
#include "orbit_commands.h"
#include "progress_line.h"
#include "shower_output.h"
#include "stream_command.h"
#include "trail_map_output.h"
#include "watched_work.h"
#include "view/trail_map.h"
#include "data/comet_catalogue.h"
#include "initial/catalogue.h"
#include "initial/constants.h"
#include "initial/orbit.h"
#include "meteors/forecast.h"
#include "meteors/ical.h"
#include "meteors/record_format.h"
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

// The exit status of work that Ctrl+C stopped (see watched_work.h).
constexpr int kInterruptedStatus = 130;

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

// --- option-to-settings mapping

RunSettings RunSettingsFrom(const CliOptions& o) {
  RunSettings settings;
  settings.BodyCount = o.bodies;
  settings.MaxBodyCount = kMaxBodyCount;
  settings.StepDays = o.stepDays;
  settings.CometIndex = o.comet;
  settings.Distribution = o.dist;
  settings.DistributionText = std::to_string(o.dist);
  settings.EpochJD = o.epochJD;
  return settings;
}

// --- the forecast

void PrintForecast(const CliOptions& o, const ForecastResult& r, double seconds) {
  const std::string_view name = CometDisplayName(o.comet);
  std::printf("%.*s\n", static_cast<int>(name.size()), name.data());
  for (const TrailInfo& t : r.trails) {
    std::printf("trail %d  perihelion %s TT  particles %d  solution %s%s%s\n", t.year,
                FormatCalendar(t.perihelionJd).c_str(), t.grains, t.solution.c_str(),
                t.event.empty() ? "" : "  event ", t.event.c_str());
  }
  const auto columns = EncounterColumns();
  const unsigned groups = kCoreColumns | kForecastColumns | (o.site ? kSiteColumns : 0u);
  std::fputs(Line(Headers(columns, Output::kText, groups), ' ').c_str(), stdout);
  for (const TrailEncounter& e : r.encounters) {
    std::fputs(Line(Cells(columns, e, Output::kText, groups), ' ').c_str(), stdout);
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
      "peak times in UTC (UT before 1972), converted from the run's TT; %.1f s\n",
      seconds);
}

int Forecast(const CliOptions& o, const SolutionTable& table) {
  ForecastSettings s = ForecastSettingsFrom(o);
  s.cometIndex = o.comet;
  s.threads = o.threads > 0 ? o.threads : WorkerPool::AllCores();
  s.solutions = &table.solutions;
  static const std::vector<ReleaseEvent> kNoEvents;
  if (o.noReleaseEvents) s.releaseEvents = &kNoEvents;
  const auto t0 = Clock::now();
  WatchedWork work(o.progress);
  Progress& progress = work.progress;
  progress.BeginStage("forecast", 0, 1);
  ForecastResult r = RunForecast(s, ReportInto(progress, s));
  work.line.Stop();
  if (o.site) ViewEncountersFrom(*o.site, r.populationIndex, r.encounters);
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
  PrintForecast(o, r, seconds);
  if (!o.forecastCsvPath.empty()) {
    std::string error;
    if (!WriteBytesAtomically(o.forecastCsvPath, ForecastCsv(r.encounters, o.site.has_value()),
                              error)) {
      std::fprintf(stderr, "stelvo-cli: %s\n", error.c_str());
      return 1;
    }
  }
  if (!o.icalPath.empty()) {
    std::string error;
    const double nowJd =
        2440587.5 + static_cast<double>(std::chrono::duration_cast<std::chrono::seconds>(
                                            std::chrono::system_clock::now().time_since_epoch())
                                            .count()) /
                        86400;
    const std::string ics = ICalendar(EncounterEvents(r.encounters, r.cometName, r.showerName), nowJd);
    if (!WriteBytesAtomically(o.icalPath, ics, error)) {
      std::fprintf(stderr, "stelvo-cli: %s\n", error.c_str());
      return 1;
    }
  }
  if (!o.trailMapPath.empty()) {
    const int chosen = StrongestEncounter(r.encounters, o.trailMapTrail, o.trailMapYear);
    if (chosen < 0) {
      std::fprintf(stderr, "stelvo-cli: no encounter to draw for --trail-map; %s not written\n",
                   o.trailMapPath.c_str());
      return 1;
    }
    std::string error;
    if (!WriteTrailMap(r.encounters[std::size_t(chosen)], o.width, o.height, o.trailMapPath,
                       error)) {
      std::fprintf(stderr, "stelvo-cli: %s\n", error.c_str());
      return 1;
    }
  }
  return 0;
}

// --- the runs

// The runs of one invocation: their outputs after each step of the last run, the
// timings, and where an interruption left them.
class Runs {
 public:
  Runs(const CliOptions& o, Progress& progress, ProgressLine& line)
      : o_(o), progress_(progress), line_(line), frames_(FrameOutput::For(o)),
        showers_(ShowerOutput::For(o)) {
    run_.SetThreads(o.threads > 0 ? o.threads : WorkerPool::AllCores());
  }

  // Exit status 1 when an output failed, else 0 (interrupted or not).
  int RunAll() {
    const RunSettings settings = RunSettingsFrom(o_);
    for (int r = 0; r < o_.runs && !interrupted_; ++r) {
      const double runShare = 1.0 / o_.runs;
      const double startupShare = runShare * kStartupInSteps / (kStartupInSteps + o_.steps);
      progress_.BeginStage(RunLabel(o_, r) + "start-up", r * runShare, r * runShare + startupShare);
      const auto t0 = Clock::now();
      started_ = false;
      try {
        run_.Begin(settings, &progress_);
      } catch (const RunCancelled&) {
        interrupted_ = true;
        break;
      }
      started_ = true;
      const bool last = r + 1 == o_.runs;
      const auto t1 = Clock::now();
      if (last) {
        startupMs_ = Milliseconds(t1 - t0);
        // Filled up front, so that the timings' own pages do not show as growth.
        stepMs_.assign(o_.bench ? o_.steps : 0, 0.0);
        showersMs_.assign(o_.bench && showers_ ? o_.steps : 0, 0.0);
      }
      progress_.BeginStage(RunLabel(o_, r) + "steps", r * runShare + startupShare, (r + 1) * runShare);
      if (!Steps(r, last)) return 1;
      if (last) loopMs_ = Milliseconds(Clock::now() - t1);
      if (!interrupted_) ++runsDone_;
    }
    line_.Stop();
    return 0;
  }

  int Finish() { return interrupted_ ? ReportInterrupted() : Report(); }

 private:
  // The steps of run r; false when an output failed.
  bool Steps(int r, bool last) {
    stepsDone_ = 0;
    for (int k = 0; k < o_.steps; ++k) {
      const auto before = Clock::now();
      run_.Step();
      if (last && !AfterStep(k)) return false;
      run_.FinishPass();
      if (last && o_.bench) stepMs_[k] = Milliseconds(Clock::now() - before);
      stepsDone_ = k + 1;
      progress_.SetStageText(RunLabel(o_, r) + "steps " + std::to_string(k + 1) + "/" +
                             std::to_string(o_.steps));
      progress_.Report(double(k + 1) / o_.steps, run_.State().EpochJD + run_.State().SimDays);
      if (progress_.CancelRequested()) {
        interrupted_ = k + 1 < o_.steps || !last;
        break;
      }
    }
    return true;
  }

  // The last run's outputs after its step k (counted from 0).
  bool AfterStep(int k) {
    std::string error;
    if (frames_ && !frames_->AfterStep(run_.State(), k + 1, k + 1 == o_.steps, error)) {
      return Failed(error);
    }
    if (showers_) {
      const auto scanStart = Clock::now();
      if (!showers_->AfterStep(run_.State(), run_.Pool(), error)) return Failed(error);
      if (o_.bench) showersMs_[k] = Milliseconds(Clock::now() - scanStart);
    }
    return true;
  }

  bool Failed(const std::string& error) {
    line_.Stop();
    std::fprintf(stderr, "stelvo-cli: %s\n", error.c_str());
    return false;
  }

  int FileFailed(const std::string& error) {
    Failed(error);
    return 1;
  }

  // What was computed is summed up; no file is written from an unfinished run.
  int ReportInterrupted() {
    const RunState& state = run_.State();
    const std::string inRun = o_.runs > 1 ? " of run " + std::to_string(runsDone_ + 1) + " of " +
                                                std::to_string(o_.runs)
                                          : "";
    if (started_) {
      std::fprintf(stderr,
                   "stelvo-cli: interrupted after %d of %d steps%s (%.2f years simulated); "
                   "no file written\n",
                   stepsDone_, o_.steps, inRun.c_str(), state.SimDays / kDaysPerYear);
      if (o_.state) PrintState(state, run_.StartupPasses());
      if (showers_) showers_->PrintSummary();
    } else {
      std::fprintf(stderr, "stelvo-cli: interrupted in the start-up%s; no file written\n",
                   inRun.c_str());
    }
    return kInterruptedStatus;
  }

  int Report() {
    const RunState& state = run_.State();
    if (o_.state) PrintState(state, run_.StartupPasses());
    if (o_.digest) std::printf("state_digest %s\n", DigestHex(StateDigest(state)).c_str());
    if (o_.bench) PrintBench();
    std::string error;
    if (!o_.csvPath.empty() && !WriteCsv(state, o_.csvPath, error)) return FileFailed(error);
    if (showers_ && !showers_->Finish(error)) return FileFailed(error);
    return 0;
  }

  void PrintBench() {
    std::printf("isa %s\n", std::string(IsaName(ActiveIsa())).c_str());
    std::printf("threads %d\n", run_.Threads());
    std::printf("bodies %d\n", run_.State().BodyCount);
    std::printf("startup_ms %.3f\n", startupMs_);
    std::printf("ms_per_step %.4f\n", Median(stepMs_));
    if (showers_) std::printf("showers_ms_per_step %.4f\n", Median(showersMs_));
    std::printf("steps_per_second %.1f\n", o_.steps / (loopMs_ / 1000.0));
    std::printf("peak_rss_mb %.1f\n", PeakRssMegabytes());
  }

  const CliOptions& o_;
  Progress& progress_;
  ProgressLine& line_;
  const std::unique_ptr<FrameOutput> frames_;
  const std::unique_ptr<ShowerOutput> showers_;
  SimulationRun run_;
  std::vector<double> stepMs_, showersMs_;  // whole steps, and their crossing scans
  double startupMs_ = 0, loopMs_ = 0;
  bool interrupted_ = false, started_ = false;
  int runsDone_ = 0, stepsDone_ = 0;
};

int Run(const CliOptions& o) {
  if (o.trails || o.passages || o.fitPassages) {
    SolutionTable table;
    std::string error;
    if (!LoadSolutions(o, table, error)) {
      std::fprintf(stderr, "stelvo-cli: %s\n", error.c_str());
      return 2;
    }
    if (o.passages) return PrintPassages(o, table);
    if (o.fitPassages) return FitAndPrintPassages(o, table);
    return Forecast(o, table);
  }
  if (o.stream) {
    WatchedWork work(o.progress);
    return StreamCommand(o, work.progress, work.line, kInterruptedStatus);
  }
  if (!o.isa.empty() && !SelectIsa(IsaFromName(o.isa))) {
    std::fprintf(stderr, "stelvo-cli: --isa %s: this processor does not support it\n",
                 o.isa.c_str());
    return 1;
  }
  if (!o.framesDir.empty() && !std::filesystem::is_directory(o.framesDir)) {
    std::fprintf(stderr, "stelvo-cli: --frames %s is not an existing directory\n",
                 o.framesDir.c_str());
    return 1;
  }
  WatchedWork work(o.progress);
  Runs runs(o, work.progress, work.line);
  if (runs.RunAll() != 0) return 1;
  return runs.Finish();
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
