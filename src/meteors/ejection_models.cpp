#include "meteors/ejection_models.h"

#include <cmath>

#include "core/run_error.h"
#include "initial/constants.h"
#include "meteors/ejection.h"
#include "meteors/two_body.h"

namespace stelvo {

namespace {

double Length(double x, double y, double z) { return std::sqrt(x * x + y * y + z * z); }

// Release time even in time over the active arc, kept with probability (q/r)^2, so
// that the release rate goes as r^-2: the gas production, and with it the dust,
// taken proportional to the sunlight the nucleus receives.
ReleasePoint InverseSquareSunlight(const ReleaseArc& arc, TrailRandom& random) {
  double t = 0;
  StateVector at{};
  double r = arc.q;
  do {
    t = arc.halfSpanDays * (2 * random.Unit() - 1);
    at = PropagateTwoBody(arc.passage.helio, arc.sunGM, t);
    r = Length(at.x, at.y, at.z);
  } while (random.Unit() > (arc.q / r) * (arc.q / r));
  return {t, at, r, 1.0};
}

// Whipple (1951, ApJ 113, 464), see WhippleEjectionSpeed.
double Whipple1951(double rAu, double grainRadiusM, const EjectionSettings& s) {
  return WhippleEjectionSpeed(rAu, grainRadiusM, s.grainDensityKgM3, s.nucleusRadiusKm);
}

// A direction even over the sphere, turned into the hemisphere facing the Sun: the
// gas leaves the day side (Whipple 1951).
Direction SunwardHemisphere(const StateVector& at, TrailRandom& random) {
  const double cz = 2 * random.Unit() - 1;
  const double phi = kTwoPi * random.Unit();
  const double sz = std::sqrt(1 - cz * cz);
  double dx = sz * std::cos(phi), dy = sz * std::sin(phi), dz = cz;
  if (dx * at.x + dy * at.y + dz * at.z > 0) dx = -dx, dy = -dy, dz = -dz;
  return {dx, dy, dz};
}

constexpr EjectionModel<ReleaseRule, ReleaseFn> kReleaseRules[] = {
    {ReleaseRule::kInverseSquareSunlight, "inverse-square", InverseSquareSunlight},
};
constexpr EjectionModel<SpeedLaw, SpeedFn> kSpeedLaws[] = {
    {SpeedLaw::kWhipple1951, "whipple1951", Whipple1951},
};
constexpr EjectionModel<EjectionDirections, DirectionFn> kDirections[] = {
    {EjectionDirections::kSunwardHemisphere, "sunward-hemisphere", SunwardHemisphere},
};

template <class Id, class Fn>
Fn Lookup(std::span<const EjectionModel<Id, Fn>> table, Id id, const char* kind) {
  for (const auto& entry : table) {
    if (entry.id == id) return entry.fn;
  }
  throw RunError(std::string("Unknown ") + kind);
}

}  // namespace

std::span<const EjectionModel<ReleaseRule, ReleaseFn>> ReleaseRules() { return kReleaseRules; }
std::span<const EjectionModel<SpeedLaw, SpeedFn>> SpeedLaws() { return kSpeedLaws; }
std::span<const EjectionModel<EjectionDirections, DirectionFn>> DirectionModels() {
  return kDirections;
}

ReleaseFn ReleaseRuleFn(ReleaseRule rule) { return Lookup(ReleaseRules(), rule, "release rule"); }
SpeedFn SpeedLawFn(SpeedLaw law) { return Lookup(SpeedLaws(), law, "speed law"); }
DirectionFn DirectionsFn(EjectionDirections directions) {
  return Lookup(DirectionModels(), directions, "ejection directions");
}

}  // namespace stelvo
