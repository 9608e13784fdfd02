#pragma once
// stelvo-survey's command line, parsed strictly like stelvo-cli's: one line naming
// the option and what it accepts for anything that is not understood.

#include <optional>
#include <string>
#include <vector>

namespace stelvo {

struct SurveyOptions {
  std::vector<int> comets;  // --comets; empty: every comet within moidAu of the Earth's orbit
  double moidAu = 0.05;
  int trailFrom = 0, trailTo = 0;
  int forecastFrom = 0, forecastTo = 0;
  int perTrail = 10000;
  int threads = 0;  // 0: the cores of this machine shared among the ranks on it
  double trailStepDays = 1;
  double nearAu = 0.002;
  double windowDays = 30;
  double nucleusKm = 1.8;
  double grainMinMm = 0.2, grainMaxMm = 2.0;
  double densityKgM3 = 1000;
  std::string csvPath;        // --survey-csv
  std::string checkpointDir;  // --checkpoint
  double timeoutSeconds = 60;  // a rank silent this long has failed
  bool list = false;
  bool progress = false;
  bool help = false;
};

struct SurveyParse {
  std::optional<SurveyOptions> options;
  std::string error;
};

SurveyParse ParseSurveyOptions(const std::vector<std::string>& args);

std::string SurveyUsage();

}  // namespace stelvo
