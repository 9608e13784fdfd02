#include "meteors/ejection.h"

#include <cmath>

#include "core/run_error.h"
#include "initial/constants.h"
#include "initial/planets.h"
#include "meteors/sky_geometry.h"
#include "meteors/two_body.h"

namespace stelvo {

namespace {

// splitmix64 (Steele, Lea and Flood 2014, OOPSLA): one independent, reproducible
// sequence per trail, whatever thread runs it.
class TrailRandom {
 public:
  explicit TrailRandom(std::uint64_t seed) : state_(seed) {}
  double Unit() {  // [0, 1)
    std::uint64_t z = (state_ += 0x9e3779b97f4a7c15ull);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    z = z ^ (z >> 31);
    return (z >> 11) * 0x1.0p-53;
  }

 private:
  std::uint64_t state_;
};

double Length(double x, double y, double z) { return std::sqrt(x * x + y * y + z * z); }

// Days from perihelion to where the orbit reaches distance r (0 inside q).
double DaysFromPerihelionTo(const OsculatingElements& el, double r) {
  const double cosE = (1 - r / el.a) / el.ecc;
  if (cosE >= 1) return 0;
  const double bigE = cosE <= -1 ? kPi : std::acos(cosE);
  return (bigE - el.ecc * std::sin(bigE)) / el.meanMotion;
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
                                double startJD) {
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

  TrailRandom random(seed);
  std::vector<Grain> grains;
  grains.reserve(count);
  for (int k = 0; k < count; ++k) {
    // Release time: even in time over the active arc, kept with probability (q/r)^2,
    // so that the release rate goes as r^-2 (production following the sunlight).
    double t = 0;
    StateVector at{};
    double r = q;
    do {
      t = halfSpan * (2 * random.Unit() - 1);
      at = PropagateTwoBody(passage.helio, sunGM, t);
      r = Length(at.x, at.y, at.z);
    } while (random.Unit() > (q / r) * (q / r));

    const double radius = std::exp(logMin + (logMax - logMin) * random.Unit());
    const double beta =
        BetaFromGrain(radius, settings.grainDensityKgM3, settings.radiationPressureEfficiency);
    const double speed =
        WhippleEjectionSpeed(r, radius, settings.grainDensityKgM3, settings.nucleusRadiusKm);
    // A direction even over the sphere, turned into the hemisphere facing the Sun.
    const double cz = 2 * random.Unit() - 1;
    const double phi = kTwoPi * random.Unit();
    const double sz = std::sqrt(1 - cz * cz);
    double dx = sz * std::cos(phi), dy = sz * std::sin(phi), dz = cz;
    if (dx * at.x + dy * at.y + dz * at.z > 0) dx = -dx, dy = -dy, dz = -dz;
    const double dv = speed * auPerDayPerMS;
    const StateVector released{at.x, at.y, at.z, at.vx + dv * dx, at.vy + dv * dy, at.vz + dv * dz};
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
