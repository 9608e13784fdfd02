#pragma once
// How a comet releases a dust trail at one perihelion passage: where along the
// orbit (weighted by heliocentric distance), how fast (Whipple's ejection model),
// and how strongly sunlight pushes each grain (beta). Called by the trail forecast;
// the grains come out as heliocentric states at one instant with their Sun factors.

#include <cstdint>
#include <vector>

#include "initial/orbit.h"
#include "meteors/comet_passages.h"
#include "meteors/ejection_models.h"

namespace stelvo {

struct EjectionSettings {
  double nucleusRadiusKm = 1.8;   // 55P/Tempel-Tuttle (Hainaut et al. 1998, A&A 333, 746)
  double grainRadiusMinMm = 0.2;  // grain radii are drawn evenly in log between these
  double grainRadiusMaxMm = 2.0;
  double grainDensityKgM3 = 1000;          // bulk density of the grains
  double radiationPressureEfficiency = 1;  // Q_pr
  // Release only within this heliocentric distance, where water ice sublimates.
  double activeWithinAu = 3.0;
  // The models of meteors/ejection_models.h; the defaults are the model the
  // forecasts' published comparisons were made with.
  ReleaseRule release = ReleaseRule::kInverseSquareSunlight;
  SpeedLaw speedLaw = SpeedLaw::kWhipple1951;
  EjectionDirections directions = EjectionDirections::kSunwardHemisphere;
};

// Terminal speed (m/s) of a grain of radius grainRadiusM and density densityKgM3
// dragged off a nucleus of radius nucleusRadiusKm at heliocentric distance rAu,
// Whipple (1951, ApJ 113, 464):
//   v^2 = 43.2 R (1 / (s rho r^(9/4)) - 0.013 R)   [m/s; R km, s cm, rho g/cm^3, r AU],
// the second term the nucleus's own gravity; 0 for a grain too heavy to be lifted.
double WhippleEjectionSpeed(double rAu, double grainRadiusM, double densityKgM3,
                            double nucleusRadiusKm);

// Radiation pressure over solar gravity for a grain of radius radiusM (m) and
// density densityKgM3, Burns, Lamy and Soter (1979, Icarus 40, 1):
// beta = 5.7e-4 Q_pr / (rho s).
double BetaFromGrain(double radiusM, double densityKgM3, double efficiency = 1);

struct Grain {
  StateVector helio;  // heliocentric state at the trail's start instant
  double sunFactor;   // 1 - beta
  double radiusM;
  double releaseJD;
  double ejectionSpeedMS;
};

// `count` grains released around `passage` (the comet's osculating orbit near
// perihelion, within activeWithinAu, by the settings' release rule, speed law and
// directions; by default release rate proportional to r^-2, Whipple speed, a
// direction drawn evenly over the sunward hemisphere), each carried on
// its own two-body orbit about a Sun weakened to GM (1 - beta) to startJD. Grains
// whose orbits are not bound are dropped. Deterministic for a seed.
// With a recorded break-up or outburst of the passage (initial/comet_solutions.h),
// every grain leaves at the event's speed factor times the law's speed, and at the
// event's instant when it gives one; the random sequence is drawn as without it.
std::vector<Grain> ReleaseTrail(const PerihelionPassage& passage, int count,
                                const EjectionSettings& settings, std::uint64_t seed,
                                double startJD, const ReleaseEvent* event = nullptr);

}  // namespace stelvo
