#include "core/integrator.h"

#include <algorithm>

#include "core/arithmetic_check.h"
#include "core/gravity.h"
#include "core/kernels.h"
#include "core/worker_pool.h"

namespace stelvo {

namespace {

// The arrays the phases of a step read and write for a run of bodies, addressed so
// that the run's first body is at index 0: the run's arrays shifted by its first
// body, except that the predicted point may go to a scratch block.
struct PhaseArrays {
  const double* p3[3];
  const double* p4[3];
  const double* v4[3];
  Ordinates predictor[3];  // acceleration slots 4 down to -3
  double* p5[3];           // the predicted point
  double* a5[3];
  Ordinates corrector[3];  // a5, then slots 4 down to -2
  double* corr[kStateValues];
  const double* sunFactor;

  PositionSet Predicted() const { return {p5[kX], p5[kY], p5[kZ]}; }
  AccelerationSet PredictedAcc() const { return {a5[kX], a5[kY], a5[kZ]}; }
  PositionSet Corrected() const { return {corr[0], corr[3], corr[6]}; }
  AccelerationSet CorrectedAcc() const { return {corr[2], corr[5], corr[8]}; }
};

// For bodies from first on; the predicted point goes to slot 5 of the run's arrays,
// or to predicted[0..5] (x, y, z positions, then accelerations) when given.
PhaseArrays ArraysFrom(RunState& state, int first, double (*predicted)[kBlockBodies]) {
  PhaseArrays a;
  for (int axis = 0; axis < 3; ++axis) {
    a.p3[axis] = state.Pos(axis, 3) + first;
    a.p4[axis] = state.Pos(axis, 4) + first;
    a.v4[axis] = state.Vel(axis, 4) + first;
    a.p5[axis] = predicted ? predicted[axis] : state.Pos(axis, 5) + first;
    a.a5[axis] = predicted ? predicted[3 + axis] : state.Acc(axis, 5) + first;
    for (int j = 0; j < 8; ++j) a.predictor[axis].a[j] = state.Acc(axis, 4 - j) + first;
    a.corrector[axis].a[0] = a.a5[axis];
    for (int j = 1; j < 8; ++j) a.corrector[axis].a[j] = state.Acc(axis, 5 - j) + first;
  }
  for (int v = 0; v < kStateValues; ++v) a.corr[v] = state.CorrState(v) + first;
  a.sunFactor = state.SunFactor() + first;
  return a;
}

struct StepPhases {
  const IntegratorCoeffs& coeffs;
  const Kernels& kernels;
  double h;

  // Phase 2: position predictor, bodies 0..count-1 of the arrays.
  void Predict(const PhaseArrays& a, int count) const {
    for (int axis = 0; axis < 3; ++axis) {
      kernels.predict(a.predictor[axis], coeffs.Stormer8Ord.data(), h * h, a.p3[axis], a.p4[axis],
                      a.p5[axis], 0, count);
    }
  }
  // Phases 4 and 5: position and velocity correctors, which read the same ordinates.
  void Correct(const PhaseArrays& a, int count) const {
    for (int axis = 0; axis < 3; ++axis) {
      kernels.correct(a.corrector[axis], coeffs.Cowell8Ord.data(), coeffs.AdamsMoulton8Ord.data(),
                      h, a.p3[axis], a.p4[axis], a.v4[axis], a.corr[3 * axis], a.corr[3 * axis + 1],
                      0, count);
    }
  }
  void Evaluate(Sources sources, const PhaseArrays& a, PositionSet p, AccelerationSet acc,
                int count) const {
    sources.sunFactor = a.sunFactor;
    kernels.accelerations(sources, p.x, p.y, p.z, acc.x, acc.y, acc.z, 0, count);
  }
};

// The non-gravitational view of a step's two evaluations. The predicted point has
// no velocity, so its plane (and the orbit run back by a time shift) is the accepted
// point's, a step earlier; the corrected point has its own velocity.
NonGravInstant PredictedInstant(const RunState& state, const Sources& predicted,
                                double (*block)[kBlockBodies], int first) {
  NonGravInstant in;
  for (int axis = 0; axis < 3; ++axis) {
    in.at[axis] = block[axis];
    in.framePos[axis] = state.Pos(axis, 4);
    in.frameVel[axis] = state.Vel(axis, 4);
  }
  in.atOffset = first;
  in.frameAge = state.StepDays;
  in.sunAt[0] = predicted.x[0], in.sunAt[1] = predicted.y[0], in.sunAt[2] = predicted.z[0];
  in.sunGM = state.BodyGM()[0];
  return in;
}

NonGravInstant CorrectedInstant(RunState& state, const Sources& corrected) {
  NonGravInstant in;
  for (int axis = 0; axis < 3; ++axis) {
    in.at[axis] = state.CorrState(3 * axis);
    in.framePos[axis] = state.CorrState(3 * axis);
    in.frameVel[axis] = state.CorrState(3 * axis + 1);
  }
  in.sunAt[0] = corrected.x[0], in.sunAt[1] = corrected.y[0], in.sunAt[2] = corrected.z[0];
  in.sunGM = state.BodyGM()[0];
  return in;
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

  const StepPhases step{coeffs, ActiveKernels(), state.StepDays};
  const PhaseArrays massive = ArraysFrom(state, 0, nullptr);
  step.Predict(massive, kMassiveCount);
  const Sources predicted = SourcesFrom(massive.Predicted(), state.BodyGM(), state.SunFactor());
  MassiveAccelerations(predicted, massive.PredictedAcc());
  step.Correct(massive, kMassiveCount);
  const Sources corrected = SourcesFrom(massive.Corrected(), state.BodyGM(), state.SunFactor());
  MassiveAccelerations(corrected, massive.CorrectedAcc());

  const int raised = pool.ForEachBlock(kMassiveCount, n, [&](int begin, int end) {
    // A particle's predicted point is read only by its own block's evaluation and
    // correctors, so it stays in this thread's cache and never goes out to memory.
    alignas(64) double predictedBlock[6][kBlockBodies];
    const PhaseArrays block = ArraysFrom(state, begin, predictedBlock);
    const int count = end - begin;
    step.Predict(block, count);
    step.Evaluate(predicted, block, block.Predicted(), block.PredictedAcc(), count);
    if (!state.NonGravBodies.empty()) {
      double* const acc[3] = {predictedBlock[3], predictedBlock[4], predictedBlock[5]};
      AddNonGravAccelerations(state.NonGravBodies,
                              PredictedInstant(state, predicted, predictedBlock, begin), acc,
                              begin, begin, end);
    }
    step.Correct(block, count);
    step.Evaluate(corrected, block, block.Corrected(), block.CorrectedAcc(), count);
    if (!state.NonGravBodies.empty()) {
      double* const acc[3] = {state.CorrState(2), state.CorrState(5), state.CorrState(8)};
      AddNonGravAccelerations(state.NonGravBodies, CorrectedInstant(state, corrected), acc, 0,
                              begin, end);
    }
  });
  ThrowOnArithmeticFlags(raised);
  state.AcceptCorrected();
}

void ShiftHistory(RunState& state) { state.ShiftHistory(); }

}  // namespace stelvo
