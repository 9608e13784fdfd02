#pragma once
// The dust-trail forecast's options as stelvo-cli and stelvo-survey both take them
// (--trails, --forecast, --per-trail, the ejection's grain and nucleus options,
// --near, --window, --trail-step), and the one mapping of them to the library's
// settings. Each program's options derive from this record; the defaults are the
// library's own.

#include "meteors/forecast.h"

namespace stelvo {

struct ForecastOptions {
  // Year 0 (1 BC) is a year like any other: whether a span was given is its flag.
  bool trails = false;  // --trails: the years of release
  int trailFrom = 0, trailTo = 0;
  bool forecast = false;  // --forecast: the years searched for encounters
  int forecastFrom = 0, forecastTo = 0;
  int perTrail = ForecastSettings{}.perTrail;
  double grainMinMm = EjectionSettings{}.grainRadiusMinMm;  // grain radii
  double grainMaxMm = EjectionSettings{}.grainRadiusMaxMm;
  double densityKgM3 = EjectionSettings{}.grainDensityKgM3;
  double nucleusKm = EjectionSettings{}.nucleusRadiusKm;
  double nearAu = ForecastSettings{}.encounterAu;  // --near: a grain's node this close to the Earth's orbit
  double windowDays = ForecastSettings{}.windowDays;
  double trailStepDays = ForecastSettings{}.stepDays;
};

// The grain and nucleus options as the ejection's settings, for trails and streams alike.
EjectionSettings EjectionSettingsFrom(const ForecastOptions& options);

// The forecast's settings from the options; the comet and the threads are the
// caller's (left at their defaults).
ForecastSettings ForecastSettingsFrom(const ForecastOptions& options);

}  // namespace stelvo
