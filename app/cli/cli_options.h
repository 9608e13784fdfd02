#pragma once
// stelvo-cli's command line: parsed strictly, so that a typo never runs a
// different experiment than the one asked for. No Qt here; the fuzzer calls it.
// Every option is one entry of the table in cli_options.cpp (name, what it takes,
// its --help lines, how it sets CliOptions); the defaults are the library's own.

#include <optional>
#include <string>
#include <vector>

#include "meteors/crossing_detector.h"
#include "meteors/forecast.h"
#include "meteors/stream.h"
#include "run/simulation_run.h"

namespace stelvo {

struct CliOptions {
  int bodies = RunSettings{}.BodyCount;
  double stepDays = RunSettings{}.StepDays;
  int steps = 100;
  int comet = RunSettings{}.CometIndex;
  int dist = RunSettings{}.Distribution;
  int runs = 1;
  bool state = false;
  bool bench = false;
  bool digest = false;
  bool help = false;
  bool listComets = false;
  bool progress = false;  // progress lines on stderr also when it is no terminal
  std::string csvPath;
  // Meteor showers: every node crossing to this CSV and the showers to stdout.
  std::string showersPath;
  double captureAu = kDefaultCaptureAu;
  double encounterAu = kDefaultEncounterAu;
  std::string isa;  // empty: the best the processor runs
  int threads = 0;  // 0: every core the hardware offers; a run's particles or a forecast's trails
  // Rendering with the window's drawing code.
  std::string pngPath;
  std::string framesDir;
  int every = 1;
  int width = 1280;
  int height = 720;
  int zoom = 87;
  int incl = 45;
  std::vector<int> planets{4, 6};  // the ticked planet boxes among 2..9
  double epochJD = RunSettings{}.EpochJD;  // start of a run, in the years of run/epoch_state.h
  // Dust-trail forecast (--trails and --forecast together; 0 when not asked for).
  int trailFrom = 0, trailTo = 0;
  int forecastFrom = 0, forecastTo = 0;
  int perTrail = ForecastSettings{}.perTrail;
  double grainMinMm = EjectionSettings{}.grainRadiusMinMm;  // grain radii
  double grainMaxMm = EjectionSettings{}.grainRadiusMaxMm;
  double densityKgM3 = EjectionSettings{}.grainDensityKgM3;
  double nucleusKm = EjectionSettings{}.nucleusRadiusKm;
  double nearAu = ForecastSettings{}.encounterAu;  // --near: a grain's node this close to the Earth's orbit
  double windowDays = ForecastSettings{}.windowDays;
  double trailStepDays = ForecastSettings{}.stepDays;  // the trails run side by side on `threads` threads
  std::string forecastCsvPath;
  // The trail picture of one encounter (the strongest of the trail and year given).
  std::string trailMapPath;
  std::optional<int> trailMapTrail, trailMapYear;
  std::optional<Site> site;  // --site LAT,LON: the sky there at each peak
  std::string icalPath;      // --ical: the encounters as an iCalendar file
  bool noReleaseEvents = false;  // trails without the recorded break-ups and outbursts
  // The comet's own orbit (instead of a run): its perihelion passages in a span of
  // years, or the fit of its non-gravitational parameters to its recorded passages.
  bool passages = false;
  int passagesFrom = 0, passagesTo = 0;
  bool fitPassages = false;
  std::string saveSolutionPath;  // with --fit-passages: the solutions file with the fit
  std::string solutionsPath;     // orbit solutions read from here instead of the built-in
  // Established shower from a stream (--stream with --forecast; 0 when not asked for):
  // grains of every return in the years streamFrom..streamTo, --per-trail each.
  int streamFrom = 0, streamTo = 0;
  double farStepDays = StreamSettings{}.farStepDays;  // the step before the last nearYears
  int nearYears = StreamSettings{}.nearYears;
  double setAsideAu = StreamSettings{}.setAsideAu;
};

struct CliParse {
  std::optional<CliOptions> options;  // set when the command line is valid
  std::string error;                  // otherwise one line naming the option and what it accepts
};

CliParse ParseCliOptions(const std::vector<std::string>& args);

// The text that --help prints.
std::string CliUsage();

// The grain and nucleus options as the ejection's settings, for trails and streams alike.
EjectionSettings EjectionSettingsFrom(const CliOptions& options);

}  // namespace stelvo
