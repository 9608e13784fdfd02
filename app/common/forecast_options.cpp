#include "common/forecast_options.h"

namespace stelvo {

EjectionSettings EjectionSettingsFrom(const ForecastOptions& o) {
  EjectionSettings e;
  e.grainRadiusMinMm = o.grainMinMm;
  e.grainRadiusMaxMm = o.grainMaxMm;
  e.grainDensityKgM3 = o.densityKgM3;
  e.nucleusRadiusKm = o.nucleusKm;
  return e;
}

ForecastSettings ForecastSettingsFrom(const ForecastOptions& o) {
  ForecastSettings s;
  s.trailFrom = o.trailFrom;
  s.trailTo = o.trailTo;
  s.forecastFrom = o.forecastFrom;
  s.forecastTo = o.forecastTo;
  s.perTrail = o.perTrail;
  s.stepDays = o.trailStepDays;
  s.ejection = EjectionSettingsFrom(o);
  s.encounterAu = o.nearAu;
  s.windowDays = o.windowDays;
  return s;
}

}  // namespace stelvo
