#include "cli_options.h"

#include <charconv>
#include <cmath>
#include <functional>
#include <set>
#include <string_view>

namespace stelvo {

namespace {

// Whole text must be the number: no blanks, no sign '+', no trailing garbage.
bool ParseInt(std::string_view text, long long& value) {
  if (text.empty()) return false;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size();
}

bool ParseDouble(std::string_view text, double& value) {
  if (text.empty()) return false;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value,
                                         std::chars_format::fixed | std::chars_format::scientific);
  return ec == std::errc() && end == text.data() + text.size() && std::isfinite(value);
}

struct ValueOption {
  const char* name;
  const char* accepts;  // completes "--name takes ..."
  std::function<bool(std::string_view, CliOptions&)> apply;
};

std::function<bool(std::string_view, CliOptions&)> IntIn(int CliOptions::*field, long long lo,
                                                         long long hi) {
  return [=](std::string_view text, CliOptions& o) {
    long long v = 0;
    if (!ParseInt(text, v) || v < lo || v > hi) return false;
    o.*field = static_cast<int>(v);
    return true;
  };
}

// A distance in AU above 0 and at most 1.
std::function<bool(std::string_view, CliOptions&)> Distance(double CliOptions::*field) {
  return [=](std::string_view text, CliOptions& o) {
    double v = 0;
    if (!ParseDouble(text, v) || !(v > 0 && v <= 1)) return false;
    o.*field = v;
    return true;
  };
}

std::function<bool(std::string_view, CliOptions&)> Text(std::string CliOptions::*field) {
  return [=](std::string_view text, CliOptions& o) {
    if (text.empty()) return false;
    o.*field = std::string(text);
    return true;
  };
}

bool ParsePlanets(std::string_view text, CliOptions& o) {
  o.planets.clear();
  if (text == "none") return true;
  std::set<int> seen;
  while (true) {
    const auto comma = text.find(',');
    long long v = 0;
    if (!ParseInt(text.substr(0, comma), v) || v < 2 || v > 9 || !seen.insert(int(v)).second) {
      return false;
    }
    o.planets.push_back(static_cast<int>(v));
    if (comma == std::string_view::npos) return true;
    text.remove_prefix(comma + 1);
  }
}

std::function<bool(std::string_view, CliOptions&)> DoubleIn(double CliOptions::*field, double lo,
                                                            double hi) {
  return [=](std::string_view text, CliOptions& o) {
    double v = 0;
    if (!ParseDouble(text, v) || !(v >= lo && v <= hi)) return false;
    o.*field = v;
    return true;
  };
}

// "FROM..TO", whole years 1600..2199 with FROM <= TO.
std::function<bool(std::string_view, CliOptions&)> YearSpan(int CliOptions::*from,
                                                            int CliOptions::*to) {
  return [=](std::string_view text, CliOptions& o) {
    const auto dots = text.find("..");
    long long a = 0, b = 0;
    if (dots == std::string_view::npos || !ParseInt(text.substr(0, dots), a) ||
        !ParseInt(text.substr(dots + 2), b) || a < 1600 || b > 2199 || a > b) {
      return false;
    }
    o.*from = static_cast<int>(a);
    o.*to = static_cast<int>(b);
    return true;
  };
}

const std::vector<ValueOption>& ValueOptions() {
  static const std::vector<ValueOption> options = {
      {"--bodies", "a whole number of bodies from 10 to 1000000",
       IntIn(&CliOptions::bodies, 10, 1000000)},
      {"--step", "a step width in days above 0 and at most 100",
       [](std::string_view t, CliOptions& o) {
         double v = 0;
         if (!ParseDouble(t, v) || !(v > 0 && v <= 100)) return false;
         o.stepDays = v;
         return true;
       }},
      {"--steps", "a whole number of steps from 1 to 100000000", IntIn(&CliOptions::steps, 1, 100000000)},
      {"--comet", "a catalogue index from 0 to 587", IntIn(&CliOptions::comet, 0, 587)},
      {"--dist", "a start distribution from 0 to 3", IntIn(&CliOptions::dist, 0, 3)},
      {"--runs", "a whole number of runs from 1 to 1000000", IntIn(&CliOptions::runs, 1, 1000000)},
      {"--threads", "a whole number of threads from 1 to 256", IntIn(&CliOptions::threads, 1, 256)},
      {"--csv", "a file name", Text(&CliOptions::csvPath)},
      {"--showers", "a file name", Text(&CliOptions::showersPath)},
      {"--capture", "a distance in AU above 0 and at most 1", Distance(&CliOptions::captureAu)},
      {"--encounter", "a distance in AU above 0 and at most 1", Distance(&CliOptions::encounterAu)},
      {"--isa", "one of x86-64, avx2, avx512",
       [](std::string_view t, CliOptions& o) {
         if (t != "x86-64" && t != "avx2" && t != "avx512") return false;
         o.isa = std::string(t);
         return true;
       }},
      {"--png", "a file name", Text(&CliOptions::pngPath)},
      {"--frames", "an existing directory", Text(&CliOptions::framesDir)},
      {"--every", "a whole number of steps from 1 to 100000000", IntIn(&CliOptions::every, 1, 100000000)},
      {"--width", "a width in pixels from 64 to 8192", IntIn(&CliOptions::width, 64, 8192)},
      {"--height", "a height in pixels from 64 to 8192", IntIn(&CliOptions::height, 64, 8192)},
      {"--zoom", "a zoom from 15 to 150 pixels per AU", IntIn(&CliOptions::zoom, 15, 150)},
      {"--incl", "an inclination from 0 to 90 degrees", IntIn(&CliOptions::incl, 0, 90)},
      {"--planets", "'none' or distinct planet numbers from 2 to 9, comma-separated", ParsePlanets},
      {"--epoch", "a Julian date from 2305447.5 (1600) to below 2524958.5 (2201)",
       [](std::string_view t, CliOptions& o) {
         double v = 0;
         if (!ParseDouble(t, v) || !(v >= 2305447.5 && v < 2524958.5)) return false;
         o.epochJD = v;
         return true;
       }},
      {"--trails", "years FROM..TO from 1600 to 2199, FROM <= TO",
       YearSpan(&CliOptions::trailFrom, &CliOptions::trailTo)},
      {"--forecast", "years FROM..TO from 1600 to 2199, FROM <= TO",
       YearSpan(&CliOptions::forecastFrom, &CliOptions::forecastTo)},
      {"--per-trail", "a whole number of particles from 1 to 19990",
       IntIn(&CliOptions::perTrail, 1, 19990)},
      {"--grain-min", "a grain radius in mm from 0.001 to 1000",
       DoubleIn(&CliOptions::grainMinMm, 0.001, 1000)},
      {"--grain-max", "a grain radius in mm from 0.001 to 1000",
       DoubleIn(&CliOptions::grainMaxMm, 0.001, 1000)},
      {"--density", "a grain density in kg/m^3 from 10 to 10000",
       DoubleIn(&CliOptions::densityKgM3, 10, 10000)},
      {"--nucleus", "a nucleus radius in km from 0.01 to 100",
       DoubleIn(&CliOptions::nucleusKm, 0.01, 100)},
      {"--near", "a distance in AU above 0 and below 0.02",
       [](std::string_view t, CliOptions& o) {
         double v = 0;
         if (!ParseDouble(t, v) || !(v > 0 && v < 0.02)) return false;
         o.nearAu = v;
         return true;
       }},
      {"--window", "a time in days from 0.1 to 365", DoubleIn(&CliOptions::windowDays, 0.1, 365)},
      {"--trail-step", "a step width in days from 0.1 to 10",
       DoubleIn(&CliOptions::trailStepDays, 0.1, 10)},
      {"--forecast-csv", "a file name", Text(&CliOptions::forecastCsvPath)},
      {"--stream", "years FROM..TO from 1600 to 2199, FROM <= TO",
       YearSpan(&CliOptions::streamFrom, &CliOptions::streamTo)},
      {"--far-step", "a step width in days from 0.1 to 10",
       DoubleIn(&CliOptions::farStepDays, 0.1, 10)},
      {"--near-years", "a whole number of years from 1 to 1000",
       IntIn(&CliOptions::nearYears, 1, 1000)},
      {"--set-aside", "a distance in AU from 0 to 10", DoubleIn(&CliOptions::setAsideAu, 0, 10)},
  };
  return options;
}

struct FlagOption {
  const char* name;
  bool CliOptions::*field;
};

const std::vector<FlagOption>& FlagOptions() {
  static const std::vector<FlagOption> flags = {{"--state", &CliOptions::state},
                                                {"--bench", &CliOptions::bench},
                                                {"--digest", &CliOptions::digest},
                                                {"--help", &CliOptions::help},
                                                {"--list-comets", &CliOptions::listComets},
                                                {"--progress", &CliOptions::progress}};
  return flags;
}

// Printable form of user text for an error line: no control characters, bounded length.
std::string Quoted(std::string_view text) {
  std::string out = "'";
  for (char c : text.substr(0, 60)) out += (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) ? '?' : c;
  if (text.size() > 60) out += "...";
  return out + "'";
}

}  // namespace

CliParse ParseCliOptions(const std::vector<std::string>& args) {
  CliOptions options;
  for (std::size_t k = 0; k < args.size(); ++k) {
    const std::string& arg = args[k];
    bool known = false;
    for (const FlagOption& flag : FlagOptions()) {
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
    }
    if (!known) return {std::nullopt, "unknown option " + Quoted(arg) + "; see --help"};
  }
  if (options.trailFrom != 0 && options.streamFrom != 0) {
    return {std::nullopt, "--trails and --stream exclude each other"};
  }
  if ((options.trailFrom == 0 && options.streamFrom == 0) != (options.forecastFrom == 0)) {
    return {std::nullopt, "--forecast goes with --trails or --stream"};
  }
  if (options.streamFrom != 0 && options.streamFrom >= options.forecastFrom) {
    return {std::nullopt, "--stream must begin before the --forecast years"};
  }
  if (options.grainMinMm > options.grainMaxMm) {
    return {std::nullopt, "--grain-min must not exceed --grain-max"};
  }
  if (!options.forecastCsvPath.empty() && options.trailFrom == 0) {
    return {std::nullopt, "--forecast-csv needs --trails and --forecast"};
  }
  return {options, ""};
}

std::string CliUsage() {
  return R"(Usage: stelvo-cli [options]
Integrates the solar system with a particle cloud released from a comet, without a window.

Run:
  --bodies N       bodies in all, the ten massive ones included, 10..1000000
                   (default 4000; the window offers up to 20000)
  --step DAYS      step width in days, 0 < DAYS <= 100 (default 5)
  --steps K        regular steps after the start-up, K >= 1 (default 100)
  --comet INDEX    catalogue index 0..587 (default 62; 1 gives a run without particles)
  --dist D         start distribution 0..3: 0 ueber Bahn, 1 Quasipunkt,
                   2 leicht verstreut, 3 staerker verstreut (default 0)
  --runs R         R consecutive runs in one process; the random sequence goes on
                   from run to run as in the window (default 1)
  --isa NAME       force the force loop's instruction set: x86-64, avx2, avx512
  --progress       progress lines on stderr even when it is not a terminal (a terminal
                   shows one line, in place, for any run of more than about 2 s)
  --threads T      threads sharing the particles, 1..256 (default: every core);
                   the results are the same bits whatever T is
  --epoch JD       start at this Julian date, years 1600..2200 (default 2451545.0,
                   J2000); the planets are their J2000 state integrated there

Output (all refer to the last run):
  --state          time_days, startup_passes and the state of the ten massive bodies
  --digest         state_digest: 16 hex digits over the exact bits of the state
                   the next step would read; equal digests, equal runs
  --bench          isa, threads, bodies, startup_ms, ms_per_step (median),
                   showers_ms_per_step (with --showers: the crossing scan's
                   part of it, median), steps_per_second, peak_rss_mb
  --csv FILE       every body's position and velocity after the last step
  --png FILE       the last frame as the window draws it
  --frames DIR     every N-th step's frame as DIR/frame-000001.png, ... (DIR must exist)
  --every N        with --frames: every N-th step (default 1)
  --width W        drawing area width 64..8192 (default 1280)
  --height H       drawing area height 64..8192 (default 720)
  --zoom Z         pixels per AU 15..150 (default 87)
  --incl I         inclination of the view 0..90 degrees (default 45)
  --planets LIST   planet orbits drawn, numbers 2..9 comma-separated, or none (default 4,6)
  --showers FILE   every passage of a particle through the ecliptic as CSV
                   t_days,utc,particle,lambda_sun,r_au,dr_au,earth_au,ra,dec,vg
                   and the showers they form as lines on stdout:
                   shower LAMBDA_SUN MM-DD RA DEC VG COUNT ENCOUNTERS
  --capture AU     a crossing within AU of the Earth's orbit belongs to a shower
                   (default 0.05)
  --encounter AU   a crossing within AU of the Earth itself is an encounter
                   (default 0.01)
  --list-comets    print the 588 catalogue lines, each after its index

Dust-trail forecast (instead of a run; --comet picks the comet):
  --trails A..B    trails released at the comet's perihelion passages in the years
                   A to B (inclusive, 1600..2199)
  --forecast C..D  years searched for encounters with the Earth (inclusive)
  --per-trail N    particles per trail, 1..19990 (default 10000)
  --grain-min MM   smallest grain radius in mm (default 0.2)
  --grain-max MM   largest grain radius in mm (default 2); radii even in log
  --density KG     grain density in kg/m^3 (default 1000)
  --nucleus KM     nucleus radius in km for the ejection speeds (default 1.8)
  --near AU        a grain is near the Earth when its node lies within AU of the
                   Earth's orbit (default 0.002)
  --window DAYS    ... and it passes the node within DAYS of the Earth (default 30)
  --trail-step D   step width of the trail runs in days (default 1)
  --threads T      trails integrated side by side (default: every core)
  --forecast-csv FILE  the table as CSV: trail,peak_utc,lambda_sun,miss_au,
                   particles,ra,dec,vg

Established shower from a stream (instead of a run; --comet picks the comet):
  --stream A..B    grains released at every perihelion passage in the years A to B
                   (--per-trail each), integrated to the --forecast years; every
                   node crossing there gives the shower lines, as with --showers,
                   the activity profile (profile LAMBDA RATE, weighted crossings per
                   year and degree) and each shower's peak and FWHM in degrees
                   (activity LAMBDA_SUN PEAK_LAMBDA PEAK_RATE FWHM); --showers FILE
                   writes the captured crossings as CSV
  --far-step D     step in days before the last --near-years (default 1, as
                   --trail-step, which sets the step of the near part)
  --near-years N   years before the forecast run at --trail-step (default 100)
  --set-aside AU   at the near part's start, grains with both nodes farther than
                   --capture + AU from the Earth's orbit are set aside (default 0: none)
  --help           this text

Files are written under a temporary name and renamed, so a failure never leaves
a half-written file. Ctrl+C ends the run after the step under way: what was
computed is summed up, files not yet written stay as they were.
Exit status: 0 done, 1 run or file error, 2 bad option, 130 interrupted.
)";
}

}  // namespace stelvo
