#include "cli_options.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "common/option_parsing.h"
#include "data/comet_catalogue.h"
#include "initial/astronom.h"
#include "meteors/record_format.h"

namespace stelvo {

namespace {

using CliApply = Apply<CliOptions>;

// One option: its name, the placeholder of its value (none for a flag), what it
// accepts (completes "--name takes ..."), its --help lines after the name column,
// and how it sets the options (a value option) or which switch it turns on (a flag).
// An entry with neither only repeats an option's help in another section.
struct OptionSpec {
  const char* name;
  const char* placeholder;
  std::string accepts;
  std::string help;
  CliApply apply;
  bool CliOptions::*flag = nullptr;
};

struct Section {
  const char* title;
  std::vector<OptionSpec> options;
};

// A default or limit as --help shows it: 0.002, 10000, 1.8.
std::string Num(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

// A distance in AU above 0 and at most 1.
constexpr Range kDistanceRange{0, 1, false, true};

bool ParsePlanets(std::string_view text, CliOptions& o) {
  if (text == "none") {
    o.planets.clear();
    return true;
  }
  return ParseDistinctInts(text, 2, 9, o.planets);
}

// A year of the forecast span's limits, for a choice among encounters.
CliApply ChosenYear(std::optional<int> CliOptions::*field) {
  return [=](std::string_view text, CliOptions& o) {
    long long v = 0;
    if (!ParseInt(text, v) || v < kFirstForecastYear || v > kLastForecastYear) return false;
    o.*field = static_cast<int>(v);
    return true;
  };
}

// A CSV header as --help shows it from `column` of its line on: broken after a comma
// where it would run past the 79th column of the help.
std::string Wrapped(std::string header, std::size_t column) {
  if (!header.empty() && header.back() == '\n') header.pop_back();
  std::string out;
  std::size_t at = 19 + column;
  for (std::size_t from = 0; from < header.size();) {
    std::size_t comma = header.find(',', from);
    const std::size_t end = comma == std::string::npos ? header.size() : comma + 1;
    if (at + (end - from) > 79 && !out.empty()) {
      out += '\n';
      at = 19;
    }
    out += header.substr(from, end - from);
    at += end - from;
    from = end;
  }
  return out;
}

std::string Fixed1(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

const std::string kYears = std::to_string(kFirstForecastYear) + ".." + std::to_string(kLastForecastYear);
const std::string kFileName = "a file name";
const std::string kDistance = "a distance in AU above 0 and at most 1";
const std::string kYearSpan = "years FROM..TO from " + std::to_string(kFirstForecastYear) + " to " +
                              std::to_string(kLastForecastYear) + ", FROM <= TO";

Section RunSection() {
  const RunSettings run;
  return {"Run",
          {{"--bodies", "N", "a whole number of bodies from 10 to " + std::to_string(kMaxBodyCount),
            "bodies in all, the ten massive ones included, 10.." + std::to_string(kMaxBodyCount) +
                "\n(default " + std::to_string(run.BodyCount) + "; the window offers up to " +
                std::to_string(kCapacity) + ")",
            IntIn(&CliOptions::bodies, 10, kMaxBodyCount)},
           {"--step", "DAYS", "a step width in days above 0 and at most 100",
            "step width in days, 0 < DAYS <= 100 (default " + Num(run.StepDays) + ")",
            DoubleIn(&CliOptions::stepDays, {0, 100, false, true})},
           {"--steps", "K", "a whole number of steps from 1 to 100000000",
            "regular steps after the start-up, K >= 1 (default " + std::to_string(CliOptions{}.steps) + ")",
            IntIn(&CliOptions::steps, 1, 100000000)},
           {"--comet", "INDEX", "a catalogue index from 0 to " + std::to_string(kCometCount - 1),
            "catalogue index 0.." + std::to_string(kCometCount - 1) + " (default " +
                std::to_string(run.CometIndex) + "; 1 gives a run without particles)",
            IntIn(&CliOptions::comet, 0, kCometCount - 1)},
           {"--dist", "D", "a start distribution from 0 to 3",
            "start distribution 0..3: 0 ueber Bahn, 1 Quasipunkt,\n2 leicht verstreut, 3 staerker "
            "verstreut (default " + std::to_string(run.Distribution) + ")",
            IntIn(&CliOptions::dist, 0, 3)},
           {"--runs", "R", "a whole number of runs from 1 to 1000000",
            "R consecutive runs in one process; the random sequence goes on\nfrom run to run as in "
            "the window (default 1)",
            IntIn(&CliOptions::runs, 1, 1000000)},
           {"--isa", "NAME", "one of x86-64, avx2, avx512",
            "force the force loop's instruction set: x86-64, avx2, avx512",
            [](std::string_view t, CliOptions& o) {
              if (t != "x86-64" && t != "avx2" && t != "avx512") return false;
              o.isa = std::string(t);
              return true;
            }},
           {"--progress", nullptr, "",
            "progress lines on stderr even when it is not a terminal (a terminal\nshows one line, "
            "in place, for any run of more than about 2 s)",
            nullptr, &CliOptions::progress},
           {"--threads", "T", "a whole number of threads from 1 to 256",
            "threads sharing the particles, 1..256 (default: every core);\nthe results are the "
            "same bits whatever T is",
            IntIn(&CliOptions::threads, 1, 256)},
           {"--epoch", "JD",
            "a Julian date from " + Fixed1(kEarliestEpochJD) + " (" + std::to_string(kFirstEpochYear) +
                ") to below " + Fixed1(kLatestEpochJD) + " (" + std::to_string(kLastEpochYear + 1) + ")",
            "start at this Julian date, years " + std::to_string(kFirstEpochYear) + ".." +
                std::to_string(kLastEpochYear) + " (default " + Fixed1(run.EpochJD) +
                ",\nJ2000); the planets are their J2000 state integrated there",
            DoubleIn(&CliOptions::epochJD, {kEarliestEpochJD, kLatestEpochJD, true, false})}}};
}

Section OutputSection() {
  const CliOptions d;
  return {"Output (all refer to the last run)",
          {{"--state", nullptr, "", "time_days, startup_passes and the state of the ten massive bodies",
            nullptr, &CliOptions::state},
           {"--digest", nullptr, "",
            "state_digest: 16 hex digits over the exact bits of the state\nthe next step would "
            "read; equal digests, equal runs",
            nullptr, &CliOptions::digest},
           {"--bench", nullptr, "",
            "isa, threads, bodies, startup_ms, ms_per_step (median),\nshowers_ms_per_step (with "
            "--showers: the crossing scan's\npart of it, median), steps_per_second, peak_rss_mb",
            nullptr, &CliOptions::bench},
           {"--csv", "FILE", kFileName, "every body's position and velocity after the last step",
            Text(&CliOptions::csvPath)},
           {"--png", "FILE", kFileName, "the last frame as the window draws it", Text(&CliOptions::pngPath)},
           {"--frames", "DIR", "an existing directory",
            "every N-th step's frame as DIR/frame-000001.png, ... (DIR must exist)",
            Text(&CliOptions::framesDir)},
           {"--every", "N", "a whole number of steps from 1 to 100000000",
            "with --frames: every N-th step (default " + std::to_string(d.every) + ")",
            IntIn(&CliOptions::every, 1, 100000000)},
           {"--width", "W", "a width in pixels from 64 to 8192",
            "drawing area width 64..8192 (default " + std::to_string(d.width) + ")",
            IntIn(&CliOptions::width, 64, 8192)},
           {"--height", "H", "a height in pixels from 64 to 8192",
            "drawing area height 64..8192 (default " + std::to_string(d.height) + ")",
            IntIn(&CliOptions::height, 64, 8192)},
           {"--zoom", "Z", "a zoom from 15 to 150 pixels per AU",
            "pixels per AU 15..150 (default " + std::to_string(d.zoom) + ")", IntIn(&CliOptions::zoom, 15, 150)},
           {"--incl", "I", "an inclination from 0 to 90 degrees",
            "inclination of the view 0..90 degrees (default " + std::to_string(d.incl) + ")",
            IntIn(&CliOptions::incl, 0, 90)},
           {"--planets", "LIST", "'none' or distinct planet numbers from 2 to 9, comma-separated",
            "planet orbits drawn, numbers 2..9 comma-separated, or none (default 4,6)", ParsePlanets},
           {"--showers", "FILE", kFileName,
            "every passage of a particle through the ecliptic as CSV\n" +
                Wrapped(CsvHeader(CrossingColumns()), 0) +
                "\nand the showers they form as lines on stdout:\nshower LAMBDA_SUN MM-DD RA DEC VG "
                "COUNT ENCOUNTERS",
            Text(&CliOptions::showersPath)},
           {"--capture", "AU", kDistance,
            "a crossing within AU of the Earth's orbit belongs to a shower\n(default " +
                Num(kDefaultCaptureAu) + ")",
            DoubleIn(&CliOptions::captureAu, kDistanceRange)},
           {"--encounter", "AU", kDistance,
            "a crossing within AU of the Earth itself is an encounter\n(default " +
                Num(kDefaultEncounterAu) + ")",
            DoubleIn(&CliOptions::encounterAu, kDistanceRange)},
           {"--list-comets", nullptr, "",
            "print the " + std::to_string(kCometCount) + " catalogue lines, each after its index",
            nullptr, &CliOptions::listComets}}};
}

Section ForecastSection() {
  const ForecastSettings f;
  const EjectionSettings e;
  return {"Dust-trail forecast (instead of a run; --comet picks the comet)",
          {{"--trails", "A..B", kYearSpan,
            "trails released at the comet's perihelion passages in the years\nA to B (inclusive, " +
                kYears + ")",
            YearSpan(&CliOptions::trails, &CliOptions::trailFrom, &CliOptions::trailTo)},
           {"--forecast", "C..D", kYearSpan,
            "years searched for encounters with the Earth (inclusive)",
            YearSpan(&CliOptions::forecast, &CliOptions::forecastFrom, &CliOptions::forecastTo)},
           {"--per-trail", "N", "a whole number of particles from 1 to " + std::to_string(kMaxTrailParticles),
            "particles per trail, 1.." + std::to_string(kMaxTrailParticles) + " (default " +
                std::to_string(f.perTrail) + ")",
            IntIn(&CliOptions::perTrail, 1, kMaxTrailParticles)},
           {"--grain-min", "MM", "a grain radius in mm from 0.001 to 1000",
            "smallest grain radius in mm (default " + Num(e.grainRadiusMinMm) + ")",
            DoubleIn(&CliOptions::grainMinMm, {0.001, 1000})},
           {"--grain-max", "MM", "a grain radius in mm from 0.001 to 1000",
            "largest grain radius in mm (default " + Num(e.grainRadiusMaxMm) + "); radii even in log",
            DoubleIn(&CliOptions::grainMaxMm, {0.001, 1000})},
           {"--density", "KG", "a grain density in kg/m^3 from 10 to 10000",
            "grain density in kg/m^3 (default " + Num(e.grainDensityKgM3) + ")",
            DoubleIn(&CliOptions::densityKgM3, {10, 10000})},
           {"--nucleus", "KM", "a nucleus radius in km from 0.01 to 100",
            "nucleus radius in km for the ejection speeds (default " + Num(e.nucleusRadiusKm) + ")",
            DoubleIn(&CliOptions::nucleusKm, {0.01, 100})},
           {"--near", "AU", "a distance in AU above 0 and below 0.02",
            "a grain is near the Earth when its node lies within AU of the\nEarth's orbit (default " +
                Num(f.encounterAu) + ")",
            DoubleIn(&CliOptions::nearAu, {0, 0.02, false, false})},
           {"--window", "DAYS", "a time in days from 0.1 to 365",
            "... and it passes the node within DAYS of the Earth (default " + Num(f.windowDays) + ")",
            DoubleIn(&CliOptions::windowDays, {0.1, 365})},
           {"--trail-step", "D", "a step width in days from 0.1 to 10",
            "step width of the trail runs in days (default " + Num(f.stepDays) + ")",
            DoubleIn(&CliOptions::trailStepDays, {0.1, 10})},
           {"--threads", "T", "", "trails integrated side by side (default: every core)", nullptr},
           {"--forecast-csv", "FILE", kFileName,
            "the table as CSV: " +
                Wrapped(CsvHeader(EncounterColumns(), kCoreColumns | kForecastColumns), 18),
            Text(&CliOptions::forecastCsvPath)},
           {"--trail-map", "FILE", kFileName,
            "the trail picture of the strongest encounter (highest ZHR) as PNG\n"
            "of --width x --height: its grains near the Earth by time and rD - rE",
            Text(&CliOptions::trailMapPath)},
           {"--trail-map-trail", "YEAR", "a trail year from " + std::to_string(kFirstForecastYear) +
                                            " to " + std::to_string(kLastForecastYear),
            "... among the encounters of the trail released in YEAR only",
            ChosenYear(&CliOptions::trailMapTrail)},
           {"--trail-map-year", "YEAR", "a forecast year from " + std::to_string(kFirstForecastYear) +
                                           " to " + std::to_string(kLastForecastYear),
            "... among the encounters in the forecast year YEAR only",
            ChosenYear(&CliOptions::trailMapYear)},
           {"--site", "LAT,LON",
            "LAT,LON in degrees, latitude -90..90 and longitude -180..180 (east positive)",
            "an observing site (degrees, east positive): the table and CSV add\n" +
                Wrapped(CsvHeader(EncounterColumns(), kSiteColumns), 0) + " at each peak",
            [](std::string_view t, CliOptions& o) {
              const auto comma = t.find(',');
              double lat = 0, lon = 0;
              if (comma == std::string_view::npos || !ParseDouble(t.substr(0, comma), lat) ||
                  !ParseDouble(t.substr(comma + 1), lon) || !(lat >= -90 && lat <= 90) ||
                  !(lon >= -180 && lon <= 180)) {
                return false;
              }
              o.site = Site{lat, lon};
              return true;
            }},
           {"--ical", "FILE", kFileName, "the encounters as an iCalendar file, one event per encounter",
            Text(&CliOptions::icalPath)},
           {"--no-release-events", nullptr, "",
            "every trail a steady release, without the comet's recorded\nbreak-ups and "
            "outbursts (src/data/release_events.csv)",
            nullptr, &CliOptions::noReleaseEvents},
           {"--help", nullptr, "", "this text", nullptr, &CliOptions::help}}};
}

Section OrbitSection() {
  return {"Comet orbit (instead of a run; --comet picks the comet)",
          {{"--passages", "A..B",
            "years FROM..TO from " + std::to_string(kEarliestYear) + " to " +
                std::to_string(kLatestYear) + ", FROM <= TO",
            "the comet's perihelion passages in the years A to B, each\nintegrated from the "
            "published orbit solution nearest it:\n'passage YYYY-MM-DDTHH:MM JD q_au SOLUTION' (UT)",
            [](std::string_view text, CliOptions& o) {
              const std::optional<YearRange> range = ParseYearRange(text);
              if (!range) return false;
              o.passages = true;
              o.passagesFrom = range->from;
              o.passagesTo = range->to;
              return true;
            }},
           {"--fit-passages", nullptr, "",
            "fit the comet's A2 (and A1 where the passages carry it) and\nperihelion time to "
            "its recorded perihelion passages",
            nullptr, &CliOptions::fitPassages},
           {"--save-solution", "FILE", kFileName,
            "with --fit-passages: the orbit solutions with the fit added as a row",
            Text(&CliOptions::saveSolutionPath)},
           {"--solutions", "FILE", kFileName,
            "orbit solutions from FILE (the columns of src/data/comet_solutions.csv)\n"
            "instead of the built-in ones; also for --trails and --stream",
            Text(&CliOptions::solutionsPath)}}};
}

Section StreamSection() {
  const StreamSettings s;
  return {"Established shower from a stream (instead of a run; --forecast and the trail options)",
          {{"--stream", "A..B", "years FROM..TO from " + std::to_string(kFirstForecastYear) + " to " +
                                    std::to_string(kLastForecastYear) + ", FROM <= TO",
            "grains released at every perihelion passage in the years A to B\n"
            "(--per-trail each; passages from the orbit solutions by era),\n"
            "integrated to the --forecast years; their node crossings, each\n"
            "weighing the visible meteoroids its grain stands for, give the\n"
            "`shower` lines, each shower's `activity` (peak and FWHM in degrees\n"
            "of solar longitude) and the `profile` (meteoroids per year and\n"
            "degree); --showers FILE writes the captured crossings",
            YearSpan(&CliOptions::stream, &CliOptions::streamFrom, &CliOptions::streamTo)},
           {"--far-step", "D", "a step width in days from 0.1 to 10",
            "step in days before the last --near-years (default " + Num(s.farStepDays) +
                "); --trail-step\nsets the step of the near part",
            DoubleIn(&CliOptions::farStepDays, {0.1, 10})},
           {"--near-years", "N", "a whole number of years from 1 to 1000",
            "years before the forecast run at --trail-step (default " +
                std::to_string(s.nearYears) + ")",
            IntIn(&CliOptions::nearYears, 1, 1000)},
           {"--set-aside", "AU", "a distance in AU from 0 to 10",
            "at the near part's start, grains with both nodes farther than\n--capture + AU from the "
            "Earth's orbit are set aside (default " + Num(s.setAsideAu) + ": none)",
            DoubleIn(&CliOptions::setAsideAu, {0, 10})}}};
}

const std::vector<Section>& Sections() {
  static const std::vector<Section> sections = {RunSection(), OutputSection(), ForecastSection(),
                                                OrbitSection(), StreamSection()};
  return sections;
}

// The entry named `arg`, or null.
const OptionSpec* Find(const std::string& arg) {
  for (const Section& section : Sections()) {
    for (const OptionSpec& option : section.options) {
      if (arg == option.name && (option.apply || option.flag)) return &option;
    }
  }
  return nullptr;
}

// The rules between options, after each alone was accepted; empty when they hold.
std::string CheckTogether(const CliOptions& options) {
  if (options.trails && options.stream) {
    return "--trails and --stream exclude each other";
  }
  if ((options.trails || options.stream) != options.forecast) {
    return "--forecast goes with --trails or --stream";
  }
  if (options.stream && options.streamFrom >= options.forecastFrom) {
    return "--stream must begin before the --forecast years";
  }
  if (options.grainMinMm > options.grainMaxMm) return "--grain-min must not exceed --grain-max";
  if (!options.forecastCsvPath.empty() && !options.trails) {
    return "--forecast-csv needs --trails and --forecast";
  }
  if (!options.trailMapPath.empty() && !options.trails) {
    return "--trail-map needs --trails and --forecast";
  }
  if ((options.trailMapTrail || options.trailMapYear) && options.trailMapPath.empty()) {
    return "--trail-map-trail and --trail-map-year need --trail-map";
  }
  if ((options.site || !options.icalPath.empty()) && !options.trails) {
    return "--site and --ical need --trails and --forecast";
  }
  if (options.passages + options.fitPassages + options.trails > 1) {
    return "--passages, --fit-passages and --trails: one at a time";
  }
  if (!options.saveSolutionPath.empty() && !options.fitPassages) {
    return "--save-solution needs --fit-passages";
  }
  return "";
}

// "  --name PLACEHOLDER   help", the help's further lines under its first.
std::string UsageLines(const OptionSpec& option) {
  std::string head = std::string("  ") + option.name;
  if (option.placeholder) head += std::string(" ") + option.placeholder;
  head.resize(std::max<std::size_t>(head.size(), 17), ' ');
  std::string out = head + "  ";
  for (char c : option.help) out += c == '\n' ? "\n" + std::string(19, ' ') : std::string(1, c);
  return out + "\n";
}

}  // namespace

CliParse ParseCliOptions(const std::vector<std::string>& args) {
  CliOptions options;
  for (std::size_t k = 0; k < args.size(); ++k) {
    const std::string& arg = args[k];
    const OptionSpec* option = Find(arg);
    if (option == nullptr) return {std::nullopt, "unknown option " + Quoted(arg) + "; see --help"};
    if (option->flag) {
      options.*option->flag = true;
      continue;
    }
    if (k + 1 >= args.size()) {
      return {std::nullopt, std::string(option->name) + " needs a value: " + option->accepts};
    }
    const std::string& value = args[++k];
    if (!option->apply(value, options)) {
      return {std::nullopt,
              std::string(option->name) + " takes " + option->accepts + ", not " + Quoted(value)};
    }
  }
  std::string error = CheckTogether(options);
  if (!error.empty()) return {std::nullopt, error};
  return {options, ""};
}

std::string CliUsage() {
  std::string usage =
      "Usage: stelvo-cli [options]\n"
      "Integrates the solar system with a particle cloud released from a comet, without a "
      "window.\n";
  for (const Section& section : Sections()) {
    usage += std::string("\n") + section.title + ":\n";
    for (const OptionSpec& option : section.options) usage += UsageLines(option);
  }
  return usage + R"(
Files are written under a temporary name and renamed, so a failure never leaves
a half-written file. Ctrl+C ends the run after the step under way: what was
computed is summed up, files not yet written stay as they were.
Exit status: 0 done, 1 run or file error, 2 bad option, 130 interrupted.
)";
}

}  // namespace stelvo
