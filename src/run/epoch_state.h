#pragma once
// Runs at any epoch from -3000 to 2999: the ten massive bodies at that instant are
// the built-in J2000 table integrated to it with the run's own integrator (a
// negative step when going back). Used by runs, the trail forecast and its tests.

#include <array>
#include <memory>

#include "core/coefficients.h"
#include "core/run_state.h"
#include "initial/astronom.h"
#include "initial/orbit.h"

namespace stelvo {

// The years a run may start in, inclusive: the astronomical years of the calendar
// (initial/astronom.h). Everything that takes a year or an epoch (the forecast, the
// window's and stelvo-cli's year fields) checks against these.
inline constexpr int kFirstEpochYear = kEarliestYear;
inline constexpr int kLastEpochYear = kLatestYear;
// kFirstEpochYear January 1, 0h (Julian calendar) and the January 1, 0h after
// kLastEpochYear (Gregorian).
inline constexpr double kEarliestEpochJD = 625307.5;
inline constexpr double kLatestEpochJD = 2816787.5;
// Epochs are reached from the nearest checkpoint: the ephemeris table carried century
// by century, each checkpoint from the one before it, kept for the life of the process.
inline constexpr double kCheckpointDays = 36525;  // one Julian century
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

// The J2000 table as states (the window's runs start from it).
MassiveStates MassiveTable();

// The states every other epoch is integrated from: MassiveTable with the Earth-Moon
// barycentre of VSOP87A at J2000 (Bretagnon and Francou 1988). The table's barycentre
// moves 0.13 m/s off along its orbit, which carried back or ahead drifts its longitude
// by 0.31 degrees a century: the Earth meets a stream 53 minutes early in 2011 and
// 7 hours late in 1899. VSOP87A's keeps it within 1e-4 AU over a millennium.
MassiveStates EphemerisTable();

// The massive bodies at jd (CheckEpoch first): EphemerisTable integrated to the
// nearest century checkpoint and from there to jd. The same bits for the same jd and
// step, whatever was asked before and from whichever thread.
MassiveStates MassiveBodiesAt(double jd, double maxStepDays = kEpochStepDays);

// A state reaching toJD from fromJD by whole steps: the step count and width.
struct StepPlan {
  int steps = 0;
  double stepDays = 0;
};
StepPlan PlanSteps(double fromJD, double toJD, double maxStepDays);

// The checkpoint J2000 + k centuries (k = 0 is EphemerisTable), computed on first use from
// checkpoint k - 1 (k > 0) or k + 1 (k < 0); thread-safe. k within
// kFirstCheckpoint..kLastCheckpoint.
inline constexpr int kFirstCheckpoint = -50;  // J2000 - 5000 years, before -3000 Jan 1
inline constexpr int kLastCheckpoint = 10;    // J2000 + 1000 years
MassiveStates MassiveCheckpoint(int k);

// Writes the massive bodies (GM from the table, states into slot 0) of a run
// starting at epochJD; MassiveCount := 10. The caller has cleared the histories.
void SetMassiveBodiesAt(RunState& state, const MassiveStates& bodies);

}  // namespace stelvo
