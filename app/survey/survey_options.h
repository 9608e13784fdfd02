#pragma once
// stelvo-survey's command line, parsed strictly like stelvo-cli's: one line naming
// the option and what it accepts for anything that is not understood.

#include <optional>
#include <string>
#include <vector>

#include "common/forecast_options.h"

namespace stelvo {

// The forecast options of the base are stelvo-cli's.
struct SurveyOptions : ForecastOptions {
  std::vector<int> comets;  // --comets; empty: every comet within moidAu of the Earth's orbit
  double moidAu = 0.05;
  int threads = 0;  // 0: the cores of this machine shared among the ranks on it
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
