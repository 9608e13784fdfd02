#pragma once
// Non-gravitational acceleration of a comet's nucleus: the outgassing force of
// Marsden, Sekanina & Yeomans (1973, AJ 78, 211), A1 g(r) radial, A2 g(r) transverse
// (in the orbit's plane, towards the motion), A3 g(r) normal (along the angular
// momentum). RunState lists the bodies that feel it (comets, never their grains);
// InitialAccelerations, the start-up and both evaluations of a step add it after
// gravity, relative to the Sun (body 1). A run without such bodies computes exactly
// what it computed before.
//
// The models form a table: a body's NonGravModel picks one, each is one function.

#include <span>
#include <string_view>

namespace stelvo {

// A1, A2, A3 in AU/day^2 (the force at 1 AU, where g = 1) and the time shift DT in
// days of JPL's asymmetric model (0: symmetric about perihelion).
struct NonGravParams {
  double a1 = 0, a2 = 0, a3 = 0;
  double dtDays = 0;
};

// g(r) = alpha (r/r0)^-m (1 + (r/r0)^n)^-k with the water-ice constants of Marsden,
// Sekanina & Yeomans (1973): alpha = 0.1112620426 (so g(1 AU) = 1), r0 = 2.808 AU,
// m = 2.15, n = 5.093, k = 4.6142; JPL and IMCCE fit their A values with exactly these.
double NonGravG(double rAu);

enum class NonGravModel {
  // g at the current heliocentric distance (Marsden, Sekanina & Yeomans 1973).
  kSymmetric,
  // g at the distance the comet had DT days earlier, r(t - DT): JPL's asymmetric
  // model (Yeomans & Chodas 1989, AJ 98, 1083; JPL Horizons documentation of the
  // comet non-gravitational parameters: "DT" shifts the peak of g(r) from perihelion).
  kTimeShifted,
};
// The model a parameter set asks for: time-shifted when DT is not 0.
NonGravModel ModelFor(const NonGravParams& params);
std::string_view NonGravModelName(NonGravModel model);

// One body of a run that feels the force: its array row (a particle, >= 10).
struct NonGravBody {
  int row = 0;
  NonGravParams params;
  NonGravModel model = NonGravModel::kSymmetric;
};

// The heliocentric distance after dtDays on the two-body orbit of the heliocentric
// state (x, y, z, vx, vy, vz) about a Sun of parameter mu. An orbit that is not an
// ellipse returns the present distance (no published comet with a DT is unbound).
double TwoBodyDistanceAfter(const double state[6], double mu, double dtDays);

// One evaluation's view of the run's arrays. `at` holds the positions of the
// evaluated instant, row r at index r - atOffset; `framePos`/`frameVel` a state of
// the whole run (row r at index r, so the Sun at 0) `frameAge` days before the
// evaluated instant, which gives the orbit's plane and, for the time-shifted model,
// the orbit that is run back by DT. sunAt is the Sun's position at the instant.
struct NonGravInstant {
  const double* at[3];
  int atOffset = 0;
  const double* framePos[3];
  const double* frameVel[3];
  double frameAge = 0;
  double sunAt[3];
  double sunGM = 0;
};

// Adds the acceleration of every listed body whose row lies in [begin, end) to
// acc (row r at index r - accOffset). Throws nothing: it runs inside the pool's blocks.
void AddNonGravAccelerations(std::span<const NonGravBody> bodies, const NonGravInstant& instant,
                             double* const acc[3], int accOffset, int begin, int end);

}  // namespace stelvo
