#include "run/epoch_state.h"

#include <cmath>
#include <string>

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
  auto state = std::make_unique<RunState>();
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

MassiveStates MassiveBodiesAt(double jd, double maxStepDays) {
  CheckEpoch(jd);
  return IntegrateMassive(MassiveTable(), kEpochJD, jd, maxStepDays);
}

}  // namespace stelvo
