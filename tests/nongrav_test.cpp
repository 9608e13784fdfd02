#include "core/nongrav.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/gravity.h"
#include "core/integrator.h"
#include "core/startup.h"
#include "core/state_digest.h"
#include "core/worker_pool.h"
#include "ten_body_fixture.h"

namespace stelvo {
namespace {

using testing::BuiltCoefficients;
using testing::TenBodiesAtEpoch;

// g(r) computed by hand from Marsden, Sekanina & Yeomans (1973, eq. 5) in 40-digit
// decimal arithmetic (logarithms and exponentials, not the program's pow).
struct GCase {
  double r, g;
};
constexpr GCase kGCases[] = {
    {0.5, 4.542655355835630714867},
    {0.9764, 1.055574173280600829417},
    {2.808, 0.004542913029462717060563},
    {5.0, 3.278958329840930047191e-8},
};

TEST(NonGravTest, GOfRMatchesAHandComputation) {
  for (const GCase& c : kGCases) EXPECT_NEAR(NonGravG(c.r), c.g, 1e-14 * c.g) << c.r;
}

// The bodies of a run: the ten massive ones and particles on ellipses about the Sun
// at 0.5 to 3 AU, tilted, spread over three blocks of the worker pool.
constexpr int kParticles = 1200;
std::unique_ptr<RunState> Scattered() {
  auto s = TenBodiesAtEpoch();
  const double gm = s->BodyGM()[0];
  for (int k = 0; k < kParticles; ++k) {
    const int i = kMassiveCount + k;
    const double r = 0.5 + 2.5 * k / kParticles, angle = 0.37 * k, tilt = 0.2 * std::sin(k);
    const double v = 1.1 * std::sqrt(gm / r);
    const double p[3] = {r * std::cos(angle), r * std::sin(angle) * std::cos(tilt),
                         r * std::sin(angle) * std::sin(tilt)};
    const double u[3] = {-v * std::sin(angle), v * std::cos(angle) * std::cos(tilt),
                         v * std::cos(angle) * std::sin(tilt)};
    for (int axis = 0; axis < 3; ++axis) {
      s->Pos(axis, 0)[i] = s->Pos(axis, 0)[0] + p[axis];
      s->Vel(axis, 0)[i] = s->Vel(axis, 0)[0] + u[axis];
    }
    s->BodyGM()[i] = 0;
  }
  s->BodyCount = kMassiveCount + kParticles;
  return s;
}

// A radial, transverse and normal force of 1e-8 AU/day^2 at 1 AU on rows in each
// of the three blocks, one with JPL's time shift.
std::vector<NonGravBody> CometRows(double scale) {
  const NonGravParams symmetric{1e-8 * scale, 2e-8 * scale, -0.5e-8 * scale, 0};
  const NonGravParams shifted{0.3e-8 * scale, -1e-8 * scale, 0.2e-8 * scale, -32.8};
  return {{10, symmetric, ModelFor(symmetric)},
          {600, shifted, ModelFor(shifted)},
          {1100, symmetric, ModelFor(symmetric)}};
}

std::uint64_t DigestAfterSteps(const std::vector<NonGravBody>& comets, int threads) {
  auto s = Scattered();
  s->NonGravBodies = comets;
  WorkerPool pool(threads);
  InitialAccelerations(*s, pool);
  const IntegratorCoeffs c = BuiltCoefficients();
  StartUpIteration(*s, c, kStartupPassLimit, pool);
  for (int k = 0; k < 40; ++k) {
    IntegrationStep(*s, c, pool);
    ShiftHistory(*s);
  }
  return StateDigest(*s);
}

TEST(NonGravTest, ZeroParametersGiveTheBitsOfGravityAlone) {
  EXPECT_EQ(DigestAfterSteps(CometRows(0), 2), DigestAfterSteps({}, 2));
}

TEST(NonGravTest, TheForceChangesTheRunAndNotWithTheThreadCount) {
  const std::uint64_t gravityOnly = DigestAfterSteps({}, 1);
  const std::uint64_t one = DigestAfterSteps(CometRows(1), 1);
  EXPECT_NE(one, gravityOnly);
  EXPECT_EQ(DigestAfterSteps(CometRows(1), 3), one);
}

// The force at the initial point against g(r) (A1, A2, A3) along the radial,
// transverse and normal directions of an orbit whose plane is known by construction.
struct FrameCase {
  double r;      // AU from the Sun
  double tilt;   // inclination of the orbit's plane, radians
  double angle;  // position along the orbit from the node, radians
};
constexpr FrameCase kFrames[] = {{0.5, 0.0, 0.0}, {0.9764, 2.8, 1.2}, {2.808, 0.4, -2.0}};

TEST(NonGravTest, AccelerationIsGAlongRadialTransverseAndNormal) {
  const NonGravParams p{2e-8, -3e-9, 5e-10, 0};
  for (const FrameCase& f : kFrames) {
    auto with = TenBodiesAtEpoch();
    auto without = TenBodiesAtEpoch();
    const double ca = std::cos(f.angle), sa = std::sin(f.angle);
    const double ct = std::cos(f.tilt), st = std::sin(f.tilt);
    const double radial[3] = {ca, sa * ct, sa * st};
    const double transverse[3] = {-sa, ca * ct, ca * st};
    const double normal[3] = {0, -st, ct};
    for (RunState* s : {with.get(), without.get()}) {
      for (int axis = 0; axis < 3; ++axis) {
        s->Pos(axis, 0)[10] = s->Pos(axis, 0)[0] + f.r * radial[axis];
        // Moving partly outward: the transverse direction is still the one above.
        s->Vel(axis, 0)[10] = s->Vel(axis, 0)[0] + 0.01 * radial[axis] + 0.02 * transverse[axis];
      }
      s->BodyGM()[10] = 0;
      s->BodyCount = 11;
    }
    with->NonGravBodies = {{10, p, ModelFor(p)}};
    InitialAccelerations(*with);
    InitialAccelerations(*without);
    double g = 0;
    for (const GCase& c : kGCases) g = c.r == f.r ? c.g : g;
    for (int axis = 0; axis < 3; ++axis) {
      const double expected =
          g * (p.a1 * radial[axis] + p.a2 * transverse[axis] + p.a3 * normal[axis]);
      EXPECT_NEAR(with->Acc(axis, 0)[10] - without->Acc(axis, 0)[10], expected, 1e-19 + 1e-12 * g)
          << f.r << " axis " << axis;
    }
  }
}

// r(t + dt) on a Kepler ellipse: a whole period returns the distance, half a period
// from perihelion reaches aphelion, and a quarter of the eccentric anomaly's turn
// from perihelion gives a (1 - e cos E) with M = E - e sin E.
TEST(NonGravTest, TwoBodyDistanceFollowsKeplersEquation) {
  const double mu = 2.959122082855911e-4, q = 0.9764, e = 0.9055;
  const double a = q / (1 - e), n = std::sqrt(mu / (a * a * a));
  const double vq = std::sqrt(mu * (1 + e) / q);
  const double perihelion[6] = {q, 0, 0, 0, vq, 0};
  const double period = 2 * M_PI / n;
  EXPECT_NEAR(TwoBodyDistanceAfter(perihelion, mu, period), q, 1e-10);
  EXPECT_NEAR(TwoBodyDistanceAfter(perihelion, mu, -period / 2), a * (1 + e), 1e-9);
  const double bigE = M_PI / 2, meanAnomaly = bigE - e * std::sin(bigE);
  EXPECT_NEAR(TwoBodyDistanceAfter(perihelion, mu, meanAnomaly / n), a, 1e-10);
  EXPECT_NEAR(TwoBodyDistanceAfter(perihelion, mu, -meanAnomaly / n), a, 1e-10);
  // An unbound state keeps its distance.
  const double escaping[6] = {1, 0, 0, 0, 0.03, 0};
  EXPECT_EQ(TwoBodyDistanceAfter(escaping, mu, 30), 1);
}

}  // namespace
}  // namespace stelvo
