#pragma once
// Runs at any epoch from 1600 to 2200: the ten massive bodies at that instant are
// the built-in J2000 table integrated to it with the run's own integrator (a
// negative step when going back). Used by the trail forecast and its tests.

#include <array>
#include <memory>

#include "core/coefficients.h"
#include "core/run_state.h"
#include "initial/orbit.h"

namespace stelvo {

// The years a run may start in, inclusive; everything that takes a year or an epoch
// (the forecast, the window's and stelvo-cli's year fields) checks against these.
inline constexpr int kFirstEpochYear = 1600;
inline constexpr int kLastEpochYear = 2200;
// kFirstEpochYear January 1, 0h and the January 1, 0h after kLastEpochYear.
inline constexpr double kEarliestEpochJD = 2305447.5;
inline constexpr double kLatestEpochJD = 2524958.5;
// The step of the epoch integration. The round trip J2000 -> 1700 -> J2000 returns
// the Earth-Moon barycentre to 1.2e-9 AU of the table at 0.9 days; at exactly 1 day
// rounding happens to add up to 1.2e-8, at 2 days Mercury's truncation gives 8e-7.
inline constexpr double kEpochStepDays = 0.9;

// Throws RunError unless jd lies in [kEarliestEpochJD, kLatestEpochJD).
void CheckEpoch(double jd);

// The ten massive bodies' states in the run's frame (ecliptic J2000, origin at the
// Sun's J2000 position: after integration the Sun is no longer at the origin).
using MassiveStates = std::array<StateVector, kMassiveCount>;

// Integrates `from` (the states at fromJD) to toJD with steps of |h| <= maxStepDays,
// h = (toJD - fromJD) / N exactly so that the last point falls on toJD; at least
// the four steps of the start-up. Throws ArithmeticError like any run.
MassiveStates IntegrateMassive(const MassiveStates& from, double fromJD, double toJD,
                               double maxStepDays = kEpochStepDays);

// The J2000 table as states.
MassiveStates MassiveTable();

// MassiveTable integrated from J2000 to jd (CheckEpoch first).
MassiveStates MassiveBodiesAt(double jd, double maxStepDays = kEpochStepDays);

// A state reaching toJD from fromJD by whole steps: the step count and width.
struct StepPlan {
  int steps = 0;
  double stepDays = 0;
};
StepPlan PlanSteps(double fromJD, double toJD, double maxStepDays);

// Writes the massive bodies (GM from the table, states into slot 0) of a run
// starting at epochJD; MassiveCount := 10. The caller has cleared the histories.
void SetMassiveBodiesAt(RunState& state, const MassiveStates& bodies);

}  // namespace stelvo
