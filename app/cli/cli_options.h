#pragma once
// stelvo-cli's command line: parsed strictly, so that a typo never runs a
// different experiment than the one asked for. No Qt here; the fuzzer calls it.
// Every option is one entry of the table in cli_options.cpp (name, what it takes,
// its --help lines, how it sets CliOptions); the defaults are the library's own.

#include <optional>
#include <string>
#include <vector>

#include "common/forecast_options.h"
#include "meteors/crossing_detector.h"
#include "meteors/forecast.h"
#include "meteors/stream.h"
#include "run/simulation_run.h"

namespace stelvo {

struct CliOptions : ForecastOptions {
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
  // Dust-trail forecast (--trails and --forecast together): the forecast options of
  // the base; its trails run side by side on `threads` threads.
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
  // Established shower from a stream (--stream with --forecast): grains of every
  // return in the years streamFrom..streamTo, --per-trail each.
  bool stream = false;
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

}  // namespace stelvo
