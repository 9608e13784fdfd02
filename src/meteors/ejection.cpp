#include "meteors/ejection.h"

#include <cmath>

#include "core/run_error.h"
#include "initial/constants.h"
#include "initial/planets.h"
#include "meteors/sky_geometry.h"
#include "meteors/two_body.h"

namespace stelvo {

namespace {

// Days from perihelion to where the orbit reaches distance r (0 inside q).
double DaysFromPerihelionTo(const OsculatingElements& el, double r) {
  const double cosE = (1 - r / el.a) / el.ecc;
  if (cosE >= 1) return 0;
  const double bigE = cosE <= -1 ? kPi : std::acos(cosE);
  return (bigE - el.ecc * std::sin(bigE)) / el.meanMotion;
}

// A release point as a recorded event makes it: faster by the event's factor, and
// moved to the event's instant when it has one.
ReleasePoint UnderEvent(ReleasePoint p, const ReleaseArc& arc, const ReleaseEvent* event) {
  if (!event) return p;
  p.speedFactor *= event->speedFactor;
  if (event->jdTT) {
    p.t = *event->jdTT - arc.passage.jd;
    p.at = PropagateTwoBody(arc.passage.helio, arc.sunGM, p.t);
    p.rAu = std::sqrt(p.at.x * p.at.x + p.at.y * p.at.y + p.at.z * p.at.z);
  }
  return p;
}

}  // namespace

double WhippleEjectionSpeed(double rAu, double grainRadiusM, double densityKgM3,
                            double nucleusRadiusKm) {
  const double sCm = grainRadiusM * 100;
  const double rhoGcm3 = densityKgM3 / 1000;
  const double bracket = 1 / (sCm * rhoGcm3 * std::pow(rAu, 2.25)) - 0.013 * nucleusRadiusKm;
  if (!(bracket > 0)) return 0;
  return std::sqrt(43.2 * nucleusRadiusKm * bracket);
}

double BetaFromGrain(double radiusM, double densityKgM3, double efficiency) {
  return 5.7e-4 * efficiency / (densityKgM3 * radiusM);
}

std::vector<Grain> ReleaseTrail(const PerihelionPassage& passage, int count,
                                const EjectionSettings& settings, std::uint64_t seed,
                                double startJD, const ReleaseEvent* event) {
  if (!(settings.grainRadiusMinMm > 0 && settings.grainRadiusMaxMm >= settings.grainRadiusMinMm)) {
    throw RunError("The grain radii must be positive, the smallest first");
  }
  const double sunGM = kMassiveBodies[0].gm;
  const OsculatingElements comet = StateToElements(passage.helio, sunGM);
  const double q = comet.a * (1 - comet.ecc);
  const double halfSpan = DaysFromPerihelionTo(comet, settings.activeWithinAu);
  const double logMin = std::log(settings.grainRadiusMinMm * 1e-3);
  const double logMax = std::log(settings.grainRadiusMaxMm * 1e-3);
  const double auPerDayPerMS = kDaySeconds / (kAuKm * 1000);

  const ReleaseFn release = ReleaseRuleFn(settings.release);
  const SpeedFn speedLaw = SpeedLawFn(settings.speedLaw);
  const DirectionFn direction = DirectionsFn(settings.directions);
  const ReleaseArc arc{passage, sunGM, q, halfSpan};

  TrailRandom random(seed);
  std::vector<Grain> grains;
  grains.reserve(count);
  for (int k = 0; k < count; ++k) {
    const ReleasePoint p = UnderEvent(release(arc, random), arc, event);
    const double t = p.t;
    const StateVector& at = p.at;
    const double radius = std::exp(logMin + (logMax - logMin) * random.Unit());
    const double beta =
        BetaFromGrain(radius, settings.grainDensityKgM3, settings.radiationPressureEfficiency);
    const double speed = p.speedFactor * speedLaw(p.rAu, radius, settings);
    const Direction d = direction(at, random);
    const double dv = speed * auPerDayPerMS;
    const StateVector released{at.x, at.y, at.z, at.vx + dv * d.x, at.vy + dv * d.y, at.vz + dv * d.z};
    const double mu = sunGM * (1 - beta);
    try {
      const StateVector start = PropagateTwoBody(released, mu, startJD - (passage.jd + t));
      grains.push_back({start, 1 - beta, radius, passage.jd + t, speed});
    } catch (const OrbitError&) {
      // Unbound under the weakened Sun: it leaves the solar system, not the trail.
    }
  }
  return grains;
}

}  // namespace stelvo
