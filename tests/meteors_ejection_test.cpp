#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <optional>

#include "core/coefficients.h"
#include "core/gravity.h"
#include "core/integrator.h"
#include "core/run_state.h"
#include "core/startup.h"
#include "initial/constants.h"
#include "initial/planets.h"
#include "meteors/ejection.h"
#include "meteors/two_body.h"

namespace stelvo {
namespace {

const double kSunGM = kMassiveBodies[0].gm;

TEST(Ejection, WhippleSpeedOfAMillimetreGrainFromTempelTuttleAtOneAu) {
  // v^2 = 43.2 * 1.8 * (1 / (0.1 * 1 * 1) - 0.013 * 1.8) = 775.76: 27.85 m/s.
  EXPECT_NEAR(WhippleEjectionSpeed(1.0, 1e-3, 1000, 1.8), 27.852, 1e-3);
  // Ten times smaller grains leave sqrt(10) times faster, r^-9/8 farther out.
  EXPECT_NEAR(WhippleEjectionSpeed(1.0, 1e-4, 1000, 1.8), 88.1, 0.1);
  EXPECT_NEAR(
      WhippleEjectionSpeed(2.0, 1e-4, 1000, 1.8) / WhippleEjectionSpeed(1.0, 1e-4, 1000, 1.8),
      std::pow(2.0, -1.125), 1e-3);
}

TEST(Ejection, WhippleSpeedAgreesWithItsMassForm) {
  // The same law written with the grain's mass m in grams, as Whipple's figures are
  // often quoted: v = 8.03 r^-1.125 rho^-1/3 R^1/2 m^-1/6 m/s, which leaves out the
  // nucleus's gravity and rounds sqrt(43.2) (4 pi / 3)^(1/6) = 8.34 down to 8.03.
  for (double radius : {1e-4, 1e-3, 1e-2}) {
    const double massG = 4.0 / 3.0 * kPi * std::pow(radius * 100, 3) * 1.0;
    const double massForm = 8.03 * std::sqrt(1.8) * std::pow(massG, -1.0 / 6.0);
    const double gravity = std::sqrt(1 - 0.013 * 1.8 * radius * 100);
    EXPECT_NEAR(WhippleEjectionSpeed(1.0, radius, 1000, 1.8) / massForm, 1.039 * gravity, 0.002)
        << radius;
  }
}

TEST(Ejection, AGrainTooHeavyForTheGasStaysOnTheNucleus) {
  // 1 / (s rho) <= 0.013 R: s >= 42.7 cm for R = 1.8 km at 1 AU.
  EXPECT_EQ(WhippleEjectionSpeed(1.0, 0.5, 1000, 1.8), 0);
  EXPECT_GT(WhippleEjectionSpeed(1.0, 0.4, 1000, 1.8), 0);
}

TEST(Ejection, BetaFollowsBurnsLamySoter) {
  EXPECT_DOUBLE_EQ(BetaFromGrain(1e-3, 1000), 5.7e-4);
  EXPECT_DOUBLE_EQ(BetaFromGrain(1e-4, 500), 1.14e-2);
  EXPECT_DOUBLE_EQ(BetaFromGrain(1e-3, 1000, 0.5), 2.85e-4);
}

// One grain about the Sun with the planets' masses set to zero: the engine's orbit
// must be the two-body orbit with GM (1 - beta).
TEST(Ejection, AGrainWithBetaFollowsTheTwoBodyOrbitOfTheWeakenedSun) {
  auto state = std::make_unique<RunState>();
  RunState& s = *state;
  s.ClearHistories();
  s.BodyCount = kMassiveCount + 1;
  s.StepDays = 0.5;
  SetMassiveBodies(s);
  for (int i = 1; i < kMassiveCount; ++i) s.BodyGM()[i] = 0;
  const double beta = 0.02;
  const StateVector start{0.98, 0.0, 0.0, 0.0, 0.0225, 0.002};  // eccentric, inclined
  SetInitialState(s, kMassiveCount, start);
  s.BodyGM()[kMassiveCount] = 0;
  s.SunFactor()[kMassiveCount] = 1 - beta;
  InitialAccelerations(s);
  IntegratorCoeffs coeffs;
  BuildCoefficientTables(coeffs);
  StartUpIteration(s, coeffs);
  const int steps = 2 * 400 - 4;  // 400 days
  for (int k = 0; k < steps; ++k) {
    IntegrationStep(s, coeffs);
    ShiftHistory(s);
  }
  const StateVector weakened = PropagateTwoBody(start, kSunGM * (1 - beta), 400);
  const StateVector full = PropagateTwoBody(start, kSunGM, 400);
  const int g = kMassiveCount;
  const auto offFrom = [&](const StateVector& v) {
    return std::hypot(s.Pos(kX, kAcceptedSlot)[g] - v.x, s.Pos(kY, kAcceptedSlot)[g] - v.y,
                      s.Pos(kZ, kAcceptedSlot)[g] - v.z);
  };
  const double offWeakened = offFrom(weakened);
  const double offFull = offFrom(full);
  EXPECT_LT(offWeakened, 1e-9);
  EXPECT_GT(offFull, 1e-2);
}

TEST(Ejection, TwoBodyPropagationReturnsToItsStartAfterOneRevolution) {
  const StateVector start{0.98, 0.1, -0.05, -0.002, 0.02, 0.003};
  const OsculatingElements el = StateToElements(start, kSunGM);
  const StateVector back = PropagateTwoBody(start, kSunGM, kTwoPi / el.meanMotion);
  EXPECT_NEAR(back.x, start.x, 1e-12);
  EXPECT_NEAR(back.vy, start.vy, 1e-13);
  const StateVector again = ElementsToStateMu(el, kSunGM);
  EXPECT_NEAR(again.z, start.z, 1e-14);
  EXPECT_NEAR(again.vz, start.vz, 1e-15);
}

PerihelionPassage TempelTuttleLikePassage() {
  OsculatingElements el{};
  el.ecc = 0.9055;
  el.a = 0.9766 / (1 - el.ecc);
  el.incl = 162.49 * kDegToRad;
  el.node = 235.26 * kDegToRad;
  el.argPeri = 172.49 * kDegToRad;
  el.meanAnomaly = 0;
  return {2450872.0, ElementsToStateMu(el, kSunGM)};
}

TEST(Ejection, GrainsLeaveWithinTheActiveArcAtWhippleSpeeds) {
  const PerihelionPassage passage = TempelTuttleLikePassage();
  EjectionSettings settings;
  const std::vector<Grain> grains = ReleaseTrail(passage, 2000, settings, 1899, passage.jd);
  ASSERT_EQ(grains.size(), 2000u);
  double closer = 0;
  for (const Grain& g : grains) {
    const StateVector at = PropagateTwoBody(passage.helio, kSunGM, g.releaseJD - passage.jd);
    const double r = std::hypot(at.x, at.y, at.z);
    EXPECT_LE(r, settings.activeWithinAu + 1e-9);
    EXPECT_GE(g.radiusM, settings.grainRadiusMinMm * 1e-3);
    EXPECT_LE(g.radiusM, settings.grainRadiusMaxMm * 1e-3);
    EXPECT_DOUBLE_EQ(g.sunFactor, 1 - BetaFromGrain(g.radiusM, settings.grainDensityKgM3));
    EXPECT_NEAR(g.ejectionSpeedMS, WhippleEjectionSpeed(r, g.radiusM, 1000, 1.8), 1e-6);
    if (r < 1.5) closer += 1;
  }
  // Release weighted by r^-2: most grains leave near perihelion.
  EXPECT_GT(closer / grains.size(), 0.6);
}

TEST(Ejection, TheSameSeedGivesTheSameTrail) {
  const PerihelionPassage passage = TempelTuttleLikePassage();
  const std::vector<Grain> a = ReleaseTrail(passage, 50, {}, 7, passage.jd + 10);
  const std::vector<Grain> b = ReleaseTrail(passage, 50, {}, 7, passage.jd + 10);
  const std::vector<Grain> c = ReleaseTrail(passage, 50, {}, 8, passage.jd + 10);
  ASSERT_EQ(a.size(), b.size());
  for (std::size_t k = 0; k < a.size(); ++k) EXPECT_EQ(a[k].helio.x, b[k].helio.x);
  EXPECT_NE(a[0].helio.x, c[0].helio.x);
}

// A recorded event leaves the random sequence alone: the same grains, each faster by
// the event's factor, and all at the event's instant when it gives one.
TEST(Ejection, AReleaseEventSpeedsUpTheSameGrainsAndMayFixTheirInstant) {
  const PerihelionPassage passage = TempelTuttleLikePassage();
  const std::vector<Grain> steady = ReleaseTrail(passage, 200, {}, 1995, passage.jd);
  struct Case {
    double factor;
    std::optional<double> daysAfterPerihelion;
  };
  for (const Case c : {Case{4, std::nullopt}, Case{2.5, 12.0}}) {
    ReleaseEvent event;
    event.speedFactor = c.factor;
    if (c.daysAfterPerihelion) event.jdTT = passage.jd + *c.daysAfterPerihelion;
    const std::vector<Grain> fast = ReleaseTrail(passage, 200, {}, 1995, passage.jd, &event);
    ASSERT_EQ(fast.size(), steady.size());
    for (std::size_t k = 0; k < fast.size(); ++k) {
      EXPECT_EQ(fast[k].radiusM, steady[k].radiusM);
      if (c.daysAfterPerihelion) {
        EXPECT_EQ(fast[k].releaseJD, *event.jdTT);
        const StateVector at = PropagateTwoBody(passage.helio, kSunGM, *c.daysAfterPerihelion);
        EXPECT_DOUBLE_EQ(fast[k].ejectionSpeedMS,
                         c.factor * WhippleEjectionSpeed(std::hypot(at.x, at.y, at.z),
                                                         fast[k].radiusM, 1000, 1.8));
      } else {
        EXPECT_EQ(fast[k].releaseJD, steady[k].releaseJD);
        EXPECT_DOUBLE_EQ(fast[k].ejectionSpeedMS, c.factor * steady[k].ejectionSpeedMS);
      }
    }
  }
}

}  // namespace
}  // namespace stelvo
