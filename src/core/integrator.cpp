#include "core/integrator.h"

#include "core/arithmetic_check.h"
#include "core/gravity.h"

namespace stelvo {

namespace {

// The eight acceleration ordinates of one formula for one coordinate, newest first.
struct Ordinates {
  const double* __restrict a0;
  const double* __restrict a1;
  const double* __restrict a2;
  const double* __restrict a3;
  const double* __restrict a4;
  const double* __restrict a5;
  const double* __restrict a6;
  const double* __restrict a7;
};

Ordinates OrdinatesFrom(const RunState& state, int axis, int newestSlot) {
  return {state.Acc(axis, newestSlot),     state.Acc(axis, newestSlot - 1),
          state.Acc(axis, newestSlot - 2), state.Acc(axis, newestSlot - 3),
          state.Acc(axis, newestSlot - 4), state.Acc(axis, newestSlot - 5),
          state.Acc(axis, newestSlot - 6), state.Acc(axis, newestSlot - 7)};
}

// Sum of w[j] * a_j[i], j = 0 upward from 0, every partial sum a double.
inline double WeightedSum(const Ordinates& o, const double* w, int i) {
  double s = 0;
  s = s + w[0] * o.a0[i];
  s = s + w[1] * o.a1[i];
  s = s + w[2] * o.a2[i];
  s = s + w[3] * o.a3[i];
  s = s + w[4] * o.a4[i];
  s = s + w[5] * o.a5[i];
  s = s + w[6] * o.a6[i];
  s = s + w[7] * o.a7[i];
  return s;
}

void PredictAxis(const Ordinates o, const double* w, double hh, const double* __restrict p3,
                 const double* __restrict p4, double* __restrict p5, int n) {
  for (int i = 0; i < n; ++i) p5[i] = hh * WeightedSum(o, w, i) + (2 * p4[i] - p3[i]);
}

void CorrectAxis(const Ordinates o, const double* wPos, const double* wVel, double h,
                 const double* __restrict p3, const double* __restrict p4,
                 const double* __restrict v4, double* __restrict corrPos,
                 double* __restrict corrVel, int n) {
  const double hh = h * h;
  for (int i = 0; i < n; ++i) {
    corrPos[i] = hh * WeightedSum(o, wPos, i) + (2 * p4[i] - p3[i]);
    corrVel[i] = h * WeightedSum(o, wVel, i) + v4[i];
  }
}

}  // namespace

void IntegrationStep(RunState& state, const IntegratorCoeffs& coeffs) {
  const int n = state.BodyCount;
  const double h = state.StepDays;
  state.CurrentSlot = 5;
  ClearArithmeticFlags();

  for (int axis = 0; axis < 3; ++axis) {
    PredictAxis(OrdinatesFrom(state, axis, 4), coeffs.Stormer8Ord.data(), h * h,
                state.Pos(axis, 3), state.Pos(axis, 4), state.Pos(axis, 5), n);
  }
  GravityAcceleration({state.Pos(kX, 5), state.Pos(kY, 5), state.Pos(kZ, 5)},
                      {state.Acc(kX, 5), state.Acc(kY, 5), state.Acc(kZ, 5)}, state.BodyGM(), n);

  // Phases 4 and 5 (positions and velocities corrected) read the same ordinates
  // and write different arrays, so they share one pass over the bodies.
  for (int axis = 0; axis < 3; ++axis) {
    CorrectAxis(OrdinatesFrom(state, axis, 5), coeffs.Cowell8Ord.data(),
                coeffs.AdamsMoulton8Ord.data(), h, state.Pos(axis, 3), state.Pos(axis, 4),
                state.Vel(axis, 4), state.CorrState(3 * axis), state.CorrState(3 * axis + 1), n);
  }
  GravityAcceleration({state.CorrState(0), state.CorrState(3), state.CorrState(6)},
                      {state.CorrState(2), state.CorrState(5), state.CorrState(8)},
                      state.BodyGM(), n);
  ThrowOnArithmeticFlags();
  state.AcceptCorrected();
}

void ShiftHistory(RunState& state) { state.ShiftHistory(); }

}  // namespace stelvo
