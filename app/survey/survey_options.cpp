#include "survey_options.h"

#include <string_view>

#include "common/option_parsing.h"

namespace stelvo {

namespace {

using SurveyApply = Apply<SurveyOptions>;

struct ValueOption {
  const char* name;
  const char* accepts;  // completes "--name takes ..."
  SurveyApply apply;
};

bool ParseComets(std::string_view text, SurveyOptions& o) {
  return ParseDistinctInts(text, 0, 587, o.comets);
}

const std::string kYears = "years FROM..TO from " + std::to_string(kFirstForecastYear) + " to " +
                          std::to_string(kLastForecastYear) + ", FROM <= TO";
const std::string kParticles = "a whole number of particles from 1 to " + std::to_string(kMaxParticles);

const std::vector<ValueOption>& ValueOptions() {
  static const std::vector<ValueOption> options = {
      {"--comets", "distinct catalogue indices from 0 to 587, comma-separated", ParseComets},
      {"--moid", "a distance in AU above 0 and at most 1",
       DoubleIn(&SurveyOptions::moidAu, {0, 1, false, true})},
      {"--trails", kYears.c_str(),
       YearSpan(&SurveyOptions::trails, &SurveyOptions::trailFrom, &SurveyOptions::trailTo)},
      {"--forecast", kYears.c_str(),
       YearSpan(&SurveyOptions::forecast, &SurveyOptions::forecastFrom, &SurveyOptions::forecastTo)},
      {"--per-trail", kParticles.c_str(), IntIn(&SurveyOptions::perTrail, 1, kMaxParticles)},
      {"--threads", "a whole number of threads from 1 to 256",
       IntIn(&SurveyOptions::threads, 1, 256)},
      {"--trail-step", "a step width in days from 0.1 to 10",
       DoubleIn(&SurveyOptions::trailStepDays, {0.1, 10})},
      {"--near", "a distance in AU above 0 and below 0.02",
       DoubleIn(&SurveyOptions::nearAu, {0, 0.02, false, false})},
      {"--window", "a time in days from 0.1 to 365", DoubleIn(&SurveyOptions::windowDays, {0.1, 365})},
      {"--nucleus", "a nucleus radius in km from 0.01 to 100",
       DoubleIn(&SurveyOptions::nucleusKm, {0.01, 100})},
      {"--grain-min", "a grain radius in mm from 0.001 to 1000",
       DoubleIn(&SurveyOptions::grainMinMm, {0.001, 1000})},
      {"--grain-max", "a grain radius in mm from 0.001 to 1000",
       DoubleIn(&SurveyOptions::grainMaxMm, {0.001, 1000})},
      {"--density", "a grain density in kg/m^3 from 10 to 10000",
       DoubleIn(&SurveyOptions::densityKgM3, {10, 10000})},
      {"--survey-csv", "a file name", Text(&SurveyOptions::csvPath)},
      {"--checkpoint", "a directory name", Text(&SurveyOptions::checkpointDir)},
      {"--timeout", "a time in seconds from 5 to 86400",
       DoubleIn(&SurveyOptions::timeoutSeconds, {5, 86400})},
  };
  return options;
}

struct FlagOption {
  const char* name;
  bool SurveyOptions::*field;
};

const FlagOption kFlags[] = {{"--list", &SurveyOptions::list},
                             {"--progress", &SurveyOptions::progress},
                             {"--help", &SurveyOptions::help}};

}  // namespace

SurveyParse ParseSurveyOptions(const std::vector<std::string>& args) {
  SurveyOptions options;
  bool moidGiven = false;
  for (std::size_t k = 0; k < args.size(); ++k) {
    const std::string& arg = args[k];
    bool known = false;
    for (const FlagOption& flag : kFlags) {
      if (arg == flag.name) {
        options.*flag.field = true;
        known = true;
      }
    }
    if (known) continue;
    for (const ValueOption& option : ValueOptions()) {
      if (arg != option.name) continue;
      known = true;
      if (k + 1 >= args.size()) {
        return {std::nullopt, std::string(option.name) + " needs a value: " + option.accepts};
      }
      const std::string& value = args[++k];
      if (!option.apply(value, options)) {
        return {std::nullopt,
                std::string(option.name) + " takes " + option.accepts + ", not " + Quoted(value)};
      }
      moidGiven = moidGiven || arg == "--moid";
    }
    if (!known) return {std::nullopt, "unknown option " + Quoted(arg) + "; see --help"};
  }
  if (options.help) return {options, ""};
  if (moidGiven && !options.comets.empty()) {
    return {std::nullopt, "--comets and --moid choose the comets in two ways; give one"};
  }
  if (options.list) return {options, ""};
  if (!options.trails || !options.forecast) {
    return {std::nullopt, "a survey needs --trails and --forecast"};
  }
  if (options.grainMinMm > options.grainMaxMm) {
    return {std::nullopt, "--grain-min must not exceed --grain-max"};
  }
  return {options, ""};
}

std::string SurveyUsage() {
  return R"(Usage: stelvo-survey [options]
       mpirun -np K stelvo-survey [options]
Dust-trail forecasts of many comets: every trail of every comet is one task; the
tasks are shared among the threads of one process or, under mpirun, among the
ranks of an MPI job (largest first); rank 0 gathers the rows and writes the CSV.

Comets:
  --comets LIST    catalogue indices 0..587, comma-separated (see stelvo-cli
                   --list-comets)
  --moid AU        without --comets: every catalogue comet whose present orbit
                   passes within AU of the Earth's orbit (default 0.05)
  --list           print the chosen comets, each with its MOID in AU, and exit

Forecast (as stelvo-cli):
  --trails A..B    trails released at the perihelion passages in the years A to B
  --forecast C..D  years searched for encounters with the Earth
  --per-trail N    particles per trail, 1..19990 (default 10000)
  --trail-step D   step width of the trail runs in days (default 1)
  --near AU        node distance from the Earth's orbit (default 0.002)
  --window DAYS    time from the Earth's passage of the node (default 30)
  --nucleus KM, --grain-min MM, --grain-max MM, --density KG   the ejection
                   (defaults 1.8, 0.2, 2, 1000)
  --threads T      tasks run side by side in each process (default: the cores
                   of the machine shared among the ranks running on it)

Output:
  --survey-csv FILE  comet,trail,peak_utc,lambda_sun,miss_au,particles,... (the
                   forecast CSV's columns, the comet's designation first), by
                   comet, then trail; the same bytes for any number of ranks and
                   threads
  --checkpoint DIR every finished task's rows as a file in DIR (created when
                   missing); a run with the same settings takes them from there
                   and computes only what is missing
  --progress       a line on stderr for every finished task
  --timeout S      a rank that sends nothing for S seconds ends the survey
                   (default 60; ranks report every second while they work)
  --help           this text

A rank that dies ends the survey with one line on stderr, exit status 1 and no
CSV (the tasks finished before are in the checkpoint directory).
Exit status: 0 done, 1 run or file error or a failed rank, 2 bad option.
)";
}

}  // namespace stelvo
