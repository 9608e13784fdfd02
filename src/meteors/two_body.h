#pragma once
// Two-body motion about the Sun with any gravitational parameter: state vector to
// osculating elements and back, and propagation by Kepler's equation. Used for a
// comet's perihelion passage and for grains, whose Sun is weakened by radiation
// pressure to GM (1 - beta). Elliptic orbits only.

#include "initial/orbit.h"

namespace stelvo {

struct OsculatingElements {
  double a, ecc;               // AU
  double incl, node, argPeri;  // radians
  double meanAnomaly;          // radians, in [-pi, pi)
  double meanMotion;           // radians per day
};

// Heliocentric state (AU, AU/day) with parameter mu (AU^3/day^2). Throws OrbitError
// for an orbit that is not elliptic (e >= 1 or a <= 0).
OsculatingElements StateToElements(const StateVector& s, double mu);

StateVector ElementsToStateMu(const OsculatingElements& el, double mu);

// The state dt days later (dt may be negative) on the same two-body orbit.
StateVector PropagateTwoBody(const StateVector& s, double mu, double dt);

// Days from the state's instant to the nearest perihelion passage of its
// osculating orbit (negative when the perihelion is past).
double DaysToPerihelion(const StateVector& s, double mu);

}  // namespace stelvo
