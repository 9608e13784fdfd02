#pragma once
// The seams of a trail's release: when along the orbit grains leave (release rule),
// how fast (speed law) and in which direction. EjectionSettings picks one of each by
// value; ReleaseTrail (meteors/ejection.cpp) calls them through the tables here and
// knows no model by name. A new model is one function with its source cited in
// ejection_models.cpp, one enumerator below and one entry in its table.
//
// The models draw from the trail's own random sequence in a fixed order (release,
// then the grain radius in ReleaseTrail, then the direction): a model that draws a
// different count of numbers gives other grains, never other bits for the others.

#include <cstdint>
#include <span>

#include "initial/orbit.h"
#include "meteors/comet_passages.h"

namespace stelvo {

struct EjectionSettings;

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

enum class ReleaseRule { kInverseSquareSunlight };
enum class SpeedLaw { kWhipple1951 };
enum class EjectionDirections { kSunwardHemisphere };

// What a release rule knows of the passage: the comet's state at perihelion, the
// Sun's GM, q, and the half span (days) of the active arc about perihelion.
struct ReleaseArc {
  const PerihelionPassage& passage;
  double sunGM;
  double q;
  double halfSpanDays;
};

// One release: days from perihelion, the comet's heliocentric state then, its
// distance from the Sun (AU), and a factor on the speed law's speed (1 for a steady
// release; an outburst or fragmentation event may give its grains more).
struct ReleasePoint {
  double t;
  StateVector at;
  double rAu;
  double speedFactor;
};

struct Direction {
  double x, y, z;  // unit vector, heliocentric ecliptic
};

using ReleaseFn = ReleasePoint (*)(const ReleaseArc& arc, TrailRandom& random);
// Speed in m/s of a grain of radius grainRadiusM released at rAu.
using SpeedFn = double (*)(double rAu, double grainRadiusM, const EjectionSettings& settings);
using DirectionFn = Direction (*)(const StateVector& at, TrailRandom& random);

template <class Id, class Fn>
struct EjectionModel {
  Id id;
  const char* name;
  Fn fn;
};

std::span<const EjectionModel<ReleaseRule, ReleaseFn>> ReleaseRules();
std::span<const EjectionModel<SpeedLaw, SpeedFn>> SpeedLaws();
std::span<const EjectionModel<EjectionDirections, DirectionFn>> DirectionModels();

// The table entry for a settings value; throws RunError for one not in its table.
ReleaseFn ReleaseRuleFn(ReleaseRule rule);
SpeedFn SpeedLawFn(SpeedLaw law);
DirectionFn DirectionsFn(EjectionDirections directions);

}  // namespace stelvo
