#pragma once
// stelvo-cli's command line: parsed strictly, so that a typo never runs a
// different experiment than the one asked for. No Qt here; the fuzzer calls it.

#include <optional>
#include <string>
#include <vector>

namespace stelvo {

struct CliOptions {
  int bodies = 4000;
  double stepDays = 5;
  int steps = 100;
  int comet = 62;
  int dist = 0;
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
  double captureAu = 0.05;
  double encounterAu = 0.01;
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
  double epochJD = 2451545.0;  // start of a run, Julian date in the years 1600..2200
  // Dust-trail forecast (--trails and --forecast together; 0 when not asked for).
  int trailFrom = 0, trailTo = 0;
  int forecastFrom = 0, forecastTo = 0;
  int perTrail = 10000;
  double grainMinMm = 0.2, grainMaxMm = 2.0;  // grain radii
  double densityKgM3 = 1000;
  double nucleusKm = 1.8;
  double nearAu = 0.002;  // --near: a grain's node this close to the Earth's orbit
  double windowDays = 30;
  double trailStepDays = 1;  // the trails run side by side on `threads` threads
  std::string forecastCsvPath;
  // Established shower from a stream (--stream with --forecast; 0 when not asked for):
  // grains of every return in the years streamFrom..streamTo, --per-trail each.
  int streamFrom = 0, streamTo = 0;
  double farStepDays = 1;  // the step before the last nearYears
  int nearYears = 100;
  double setAsideAu = 0;
};

struct CliParse {
  std::optional<CliOptions> options;  // set when the command line is valid
  std::string error;                  // otherwise one line naming the option and what it accepts
};

CliParse ParseCliOptions(const std::vector<std::string>& args);

// The text that --help prints.
std::string CliUsage();

}  // namespace stelvo
