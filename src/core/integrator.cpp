#include "core/integrator.h"

#include <algorithm>

#include "core/arithmetic_check.h"
#include "core/gravity.h"
#include "core/kernels.h"
#include "core/worker_pool.h"

namespace stelvo {

namespace {

Ordinates OrdinatesFrom(const RunState& state, int axis, int newestSlot) {
  Ordinates o;
  for (int j = 0; j < 8; ++j) o.a[j] = state.Acc(axis, newestSlot - j);
  return o;
}

struct StepPhases {
  RunState& state;
  const IntegratorCoeffs& coeffs;
  const Kernels& kernels;
  Ordinates predictorOrdinates[3];
  Ordinates correctorOrdinates[3];

  // Phase 2: position predictor.
  void Predict(int begin, int end) const {
    const double h = state.StepDays;
    for (int axis = 0; axis < 3; ++axis) {
      kernels.predict(predictorOrdinates[axis], coeffs.Stormer8Ord.data(), h * h,
                      state.Pos(axis, 3), state.Pos(axis, 4), state.Pos(axis, 5), begin, end);
    }
  }
  // Phases 4 and 5: position and velocity correctors, which read the same ordinates.
  void Correct(int begin, int end) const {
    for (int axis = 0; axis < 3; ++axis) {
      kernels.correct(correctorOrdinates[axis], coeffs.Cowell8Ord.data(),
                      coeffs.AdamsMoulton8Ord.data(), state.StepDays, state.Pos(axis, 3),
                      state.Pos(axis, 4), state.Vel(axis, 4), state.CorrState(3 * axis),
                      state.CorrState(3 * axis + 1), begin, end);
    }
  }
  PositionSet Predicted() const { return {state.Pos(kX, 5), state.Pos(kY, 5), state.Pos(kZ, 5)}; }
  AccelerationSet PredictedAcc() const {
    return {state.Acc(kX, 5), state.Acc(kY, 5), state.Acc(kZ, 5)};
  }
  PositionSet Corrected() const {
    return {state.CorrState(0), state.CorrState(3), state.CorrState(6)};
  }
  AccelerationSet CorrectedAcc() const {
    return {state.CorrState(2), state.CorrState(5), state.CorrState(8)};
  }
};

void Evaluate(const Kernels& k, const Sources& s, PositionSet p, AccelerationSet a, int begin,
              int end) {
  k.accelerations(s, p.x, p.y, p.z, a.x, a.y, a.z, begin, end);
}

}  // namespace

// Each body's phases keep the order predictor, evaluation, correctors, evaluation,
// and every evaluation sees the attracting bodies at the same phase. A particle's
// phases depend only on its own history and on the massive bodies, so the massive
// bodies go through the whole step first and the particles follow block by block:
// every result is the one of running each phase over all bodies in turn. Blocks
// (kBlockBodies, small enough that a block's history stays in the core's cache from
// the predictor to the last evaluation) are shared among the pool's threads, each
// thread taking its blocks through all phases one block at a time.
void IntegrationStep(RunState& state, const IntegratorCoeffs& coeffs, WorkerPool& pool) {
  const int n = state.BodyCount;
  state.CurrentSlot = 5;
  ClearArithmeticFlags();

  StepPhases step{state, coeffs, ActiveKernels(), {}, {}};
  for (int axis = 0; axis < 3; ++axis) {
    step.predictorOrdinates[axis] = OrdinatesFrom(state, axis, 4);
    step.correctorOrdinates[axis] = OrdinatesFrom(state, axis, 5);
  }

  step.Predict(0, kMassiveCount);
  const Sources predicted = SourcesFrom(step.Predicted(), state.BodyGM(), state.SunFactor());
  MassiveAccelerations(predicted, step.PredictedAcc());
  step.Correct(0, kMassiveCount);
  const Sources corrected = SourcesFrom(step.Corrected(), state.BodyGM(), state.SunFactor());
  MassiveAccelerations(corrected, step.CorrectedAcc());

  const int raised = pool.Run([&](int thread) {
    ForEachBlock(ThreadShare(kMassiveCount, n, thread, pool.Threads()), [&](int begin, int end) {
      step.Predict(begin, end);
      Evaluate(step.kernels, predicted, step.Predicted(), step.PredictedAcc(), begin, end);
      step.Correct(begin, end);
      Evaluate(step.kernels, corrected, step.Corrected(), step.CorrectedAcc(), begin, end);
    });
  });
  ThrowOnArithmeticFlags(raised);
  state.AcceptCorrected();
}

void ShiftHistory(RunState& state) { state.ShiftHistory(); }

}  // namespace stelvo
