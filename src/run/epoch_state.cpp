#include "run/epoch_state.h"

#include <cmath>
#include <string>
#include <mutex>
#include <optional>

#include "core/gravity.h"
#include "core/integrator.h"
#include "core/run_error.h"
#include "core/startup.h"
#include "initial/constants.h"
#include "initial/planets.h"

namespace stelvo {

void CheckEpoch(double jd) {
  if (!(jd >= kEarliestEpochJD && jd < kLatestEpochJD)) {
    throw RunError("The epoch must lie in the years " + std::to_string(kFirstEpochYear) + " to " +
                   std::to_string(kLastEpochYear));
  }
}

MassiveStates MassiveTable() {
  MassiveStates s;
  for (int i = 0; i < kMassiveCount; ++i) {
    const MassiveBody& b = kMassiveBodies[i];
    s[i] = {b.x, b.y, b.z, b.vx, b.vy, b.vz};
  }
  return s;
}

MassiveStates EphemerisTable() {
  MassiveStates s = MassiveTable();
  // VSOP87A, series VSOP87A.emb summed in full with their time derivatives at
  // JD 2451545.0 TDB; the check values of the theory's distribution (vsop87.chk) agree
  // to their ten digits.
  constexpr int kEmb = 3;
  s[kEmb] = {-0.17715914396658194,  0.9672192890768273,    -9.53620493483117e-07,
             -0.017203107484784475, -0.00316391884099038, 2.5795940520218826e-08};
  return s;
}

StepPlan PlanSteps(double fromJD, double toJD, double maxStepDays) {
  const double span = toJD - fromJD;
  // The start-up alone reaches four steps ahead.
  const int steps = std::max(4, static_cast<int>(std::ceil(std::fabs(span) / maxStepDays)));
  return {steps, span / steps};
}

void SetMassiveBodiesAt(RunState& state, const MassiveStates& bodies) {
  for (int i = 0; i < kMassiveCount; ++i) {
    state.BodyGM()[i] = kMassiveBodies[i].gm;
    SetInitialState(state, i, bodies[i]);
  }
  state.MassiveCount = kMassiveCount;
}

MassiveStates IntegrateMassive(const MassiveStates& from, double fromJD, double toJD,
                               double maxStepDays) {
  if (toJD == fromJD) return from;
  const StepPlan plan = PlanSteps(fromJD, toJD, maxStepDays);
  auto state = std::make_unique<RunState>(kMassiveCount);
  RunState& s = *state;
  s.ClearHistories();
  s.BodyCount = kMassiveCount;
  s.StepDays = plan.stepDays;
  s.EpochJD = fromJD;
  IntegratorCoeffs coeffs;
  BuildCoefficientTables(coeffs);
  SetMassiveBodiesAt(s, from);
  InitialAccelerations(s);
  StartUpIteration(s, coeffs);
  for (int k = 4; k < plan.steps; ++k) {
    IntegrationStep(s, coeffs);
    ShiftHistory(s);
  }
  MassiveStates out;
  for (int i = 0; i < kMassiveCount; ++i) {
    out[i] = {s.Pos(kX, kAcceptedSlot)[i], s.Pos(kY, kAcceptedSlot)[i], s.Pos(kZ, kAcceptedSlot)[i],
              s.Vel(kX, kAcceptedSlot)[i], s.Vel(kY, kAcceptedSlot)[i], s.Vel(kZ, kAcceptedSlot)[i]};
  }
  return out;
}

namespace {

double CheckpointJD(int k) { return kEpochJD + k * kCheckpointDays; }

}  // namespace

MassiveStates MassiveCheckpoint(int k) {
  static std::mutex mutex;
  static std::array<std::optional<MassiveStates>, kLastCheckpoint - kFirstCheckpoint + 1> cache;
  if (k < kFirstCheckpoint || k > kLastCheckpoint) throw RunError("No such epoch checkpoint");
  const std::lock_guard<std::mutex> lock(mutex);
  auto slot = [](int i) -> std::optional<MassiveStates>& { return cache[i - kFirstCheckpoint]; };
  if (!slot(0)) slot(0) = EphemerisTable();
  const int toward = k > 0 ? 1 : -1;
  int known = k;
  while (!slot(known)) known -= toward;
  for (int i = known + toward; i != k + toward; i += toward) {
    slot(i) = IntegrateMassive(*slot(i - toward), CheckpointJD(i - toward), CheckpointJD(i));
  }
  return *slot(k);
}

MassiveStates MassiveBodiesAt(double jd, double maxStepDays) {
  CheckEpoch(jd);
  const int k = static_cast<int>(std::lround((jd - kEpochJD) / kCheckpointDays));
  return IntegrateMassive(MassiveCheckpoint(k), CheckpointJD(k), jd, maxStepDays);
}

}  // namespace stelvo
