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

const std::vector<ValueOption>& ValueOptions() {
  static const std::vector<ValueOption> options = {
      {"--bodies", "a whole number of bodies from 10 to 20000", IntIn(&CliOptions::bodies, 10, 20000)},
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
                                                {"--list-comets", &CliOptions::listComets}};
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
  return {options, ""};
}

std::string CliUsage() {
  return R"(Usage: stelvo-cli [options]
Integrates the solar system with a particle cloud released from a comet, without a window.

Run:
  --bodies N       bodies in all, the ten massive ones included, 10..20000 (default 4000)
  --step DAYS      step width in days, 0 < DAYS <= 100 (default 5)
  --steps K        regular steps after the start-up, K >= 1 (default 100)
  --comet INDEX    catalogue index 0..587 (default 62; 1 gives a run without particles)
  --dist D         start distribution 0..3: 0 ueber Bahn, 1 Quasipunkt,
                   2 leicht verstreut, 3 staerker verstreut (default 0)
  --runs R         R consecutive runs in one process; the random sequence goes on
                   from run to run as in the window (default 1)
  --isa NAME       force the force loop's instruction set: x86-64, avx2, avx512

Output (all refer to the last run):
  --state          time_days, startup_passes and the state of the ten massive bodies
  --digest         state_digest: 16 hex digits over the exact bits of the state
                   the next step would read; equal digests, equal runs
  --bench          startup_ms, ms_per_step (median), steps_per_second, peak_rss_mb
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
  --help           this text

Files are written under a temporary name and renamed, so a failure never leaves
a half-written file. Exit status: 0 done, 1 run or file error, 2 bad option.
)";
}

}  // namespace stelvo
