#pragma once
// stelvo-survey's command line, parsed strictly like stelvo-cli's: one line naming
// the option and what it accepts for anything that is not understood.

#include <optional>
#include <string>
#include <vector>

#include "meteors/forecast.h"

namespace stelvo {

struct SurveyOptions {
  std::vector<int> comets;  // --comets; empty: every comet within moidAu of the Earth's orbit
  double moidAu = 0.05;
  int trailFrom = 0, trailTo = 0;
  int forecastFrom = 0, forecastTo = 0;
  int perTrail = ForecastSettings{}.perTrail;
  int threads = 0;  // 0: the cores of this machine shared among the ranks on it
  double trailStepDays = ForecastSettings{}.stepDays;
  double nearAu = ForecastSettings{}.encounterAu;
  double windowDays = ForecastSettings{}.windowDays;
  double nucleusKm = EjectionSettings{}.nucleusRadiusKm;
  double grainMinMm = EjectionSettings{}.grainRadiusMinMm;
  double grainMaxMm = EjectionSettings{}.grainRadiusMaxMm;
  double densityKgM3 = EjectionSettings{}.grainDensityKgM3;
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
