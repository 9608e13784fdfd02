#include "core/startup.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "core/arithmetic_check.h"
#include "core/gravity.h"
#include "core/kernels.h"
#include "core/run_error.h"

namespace stelvo {

namespace {

constexpr const char* kNotFiniteText = "Floating point invalid operation";

// Nine acceleration ordinates of one coordinate, weight j on slots[j].
struct Nine {
  std::array<const double*, 9> slots;
  double Sum(const std::array<double, 9>& w, int i) const {
    double s = 0;
    for (int j = 0; j < 9; ++j) s = s + w[j] * slots[j][i];
    return s;
  }
};

// Acceleration slots first, first + step, ..., first + 8 * step.
Nine AccSlots(const RunState& state, int axis, int first, int step) {
  Nine nine;
  for (int j = 0; j < 9; ++j) nine.slots[j] = state.Acc(axis, first + j * step);
  return nine;
}

void FirstGuess(RunState& state, int begin, int end) {
  for (int axis = 0; axis < 3; ++axis) {
    const double* a0 = state.Acc(axis, 0);
    for (int k = -4; k <= 4; ++k) {
      if (k == 0) continue;
      double* ak = state.Acc(axis, k);
      for (int i = begin; i < end; ++i) ak[i] = a0[i];
    }
    double* p4 = state.Pos(axis, 4);
    double* v4 = state.Vel(axis, 4);
    for (int i = begin; i < end; ++i) p4[i] = 0, v4[i] = 0;
  }
}

void RememberSlot4(RunState& state, int begin, int end) {
  for (int axis = 0; axis < 3; ++axis) {
    const double* sources[3] = {state.Pos(axis, 4), state.Vel(axis, 4), state.Acc(axis, 4)};
    for (int v = 0; v < 3; ++v) {
      double* prev = state.StartupPrev(3 * axis + v);
      for (int i = begin; i < end; ++i) prev[i] = sources[v][i];
    }
  }
}

// One pass of the history formulas for one coordinate, over bodies [begin, end).
void MarchAxis(RunState& state, const IntegratorCoeffs& c, int axis, int begin, int end) {
  const double h = state.StepDays;
  const double hh = h * h;
  auto pos = [&](int slot) { return state.Pos(axis, slot); };
  auto vel = [&](int slot) { return state.Vel(axis, slot); };

  // The initial velocity enters the history here only: the centre-velocity relation.
  const Nine centre = AccSlots(state, axis, 4, -1);
  for (int i = begin; i < end; ++i) {
    pos(-1)[i] = (hh * centre.Sum(c.CentreVelOrd, i) - h * vel(0)[i]) + pos(0)[i];
  }
  // Continue the polynomial of degree 8 through the nearest accelerations.
  for (int k = 5; k <= 8; ++k) {
    const Nine back = AccSlots(state, axis, -k + 1, +1);
    double* out = state.Acc(axis, -k);
    for (int i = begin; i < end; ++i) out[i] = back.Sum(c.ExtrapOrd, i);
  }
  for (int k = 5; k <= 8; ++k) {
    const Nine forward = AccSlots(state, axis, k - 1, -1);
    double* out = state.Acc(axis, k);
    for (int i = begin; i < end; ++i) out[i] = forward.Sum(c.ExtrapOrd, i);
  }
  // Cowell, marching outward from slot 0; backward with step -h.
  for (int k = 1; k <= 4; ++k) {
    const Nine w = AccSlots(state, axis, k, -1);
    for (int i = begin; i < end; ++i) {
      pos(k)[i] = 2 * pos(k - 1)[i] + (hh * w.Sum(c.Cowell9Ord, i) - pos(k - 2)[i]);
    }
  }
  for (int k = 2; k <= 4; ++k) {
    const Nine w = AccSlots(state, axis, -k, +1);
    for (int i = begin; i < end; ++i) {
      pos(-k)[i] = 2 * pos(-k + 1)[i] + (hh * w.Sum(c.Cowell9Ord, i) - pos(-k + 2)[i]);
    }
  }
  // Adams-Moulton for the velocities, both ways.
  for (int k = 1; k <= 4; ++k) {
    const Nine w = AccSlots(state, axis, k, -1);
    for (int i = begin; i < end; ++i) vel(k)[i] = h * w.Sum(c.AdamsMoulton9Ord, i) + vel(k - 1)[i];
  }
  for (int k = 1; k <= 4; ++k) {
    const Nine w = AccSlots(state, axis, -k, +1);
    for (int i = begin; i < end; ++i) {
      vel(-k)[i] = -h * w.Sum(c.AdamsMoulton9Ord, i) + vel(-k + 1)[i];
    }
  }
}

// Everything of one pass before the evaluations, for bodies [begin, end): each
// body's values depend only on its own history.
void MarchBodies(RunState& state, const IntegratorCoeffs& c, int begin, int end) {
  RememberSlot4(state, begin, end);
  for (int axis = 0; axis < 3; ++axis) MarchAxis(state, c, axis, begin, end);
}

PositionSet PositionsAt(RunState& state, int slot) {
  return {state.Pos(kX, slot), state.Pos(kY, slot), state.Pos(kZ, slot)};
}
AccelerationSet AccelerationsAt(RunState& state, int slot) {
  return {state.Acc(kX, slot), state.Acc(kY, slot), state.Acc(kZ, slot)};
}

// The eight slots -4..-1, 1..4 that every pass evaluates.
constexpr int kEvaluatedSlots[8] = {-4, -3, -2, -1, 1, 2, 3, 4};

// One pass: the massive bodies first, since every evaluation needs their positions of
// the same slot; then the particles, block by block on the pool's threads, each block
// through its history formulas and its eight evaluations while it is in cache. The
// result is the one of running every phase over all bodies in turn. Returns the IEEE
// flags the workers raised.
int Pass(RunState& state, const IntegratorCoeffs& c, WorkerPool& pool) {
  MarchBodies(state, c, 0, kMassiveCount);
  Sources sources[8];
  for (int k = 0; k < 8; ++k) {
    const int slot = kEvaluatedSlots[k];
    sources[k] = SourcesFrom(PositionsAt(state, slot), state.BodyGM(), state.SunFactor());
    MassiveAccelerations(sources[k], AccelerationsAt(state, slot));
  }
  const Kernels& kernels = ActiveKernels();
  return pool.ForEachBlock(kMassiveCount, state.BodyCount, [&](int begin, int end) {
    MarchBodies(state, c, begin, end);
    for (int k = 0; k < 8; ++k) {
      const PositionSet p = PositionsAt(state, kEvaluatedSlots[k]);
      const AccelerationSet a = AccelerationsAt(state, kEvaluatedSlots[k]);
      kernels.accelerations(sources[k], p.x, p.y, p.z, a.x, a.y, a.z, begin, end);
      // Every slot has its velocities here, so the plane is the slot's own.
      AddNonGravAtSlot(state, kEvaluatedSlots[k], begin, end);
    }
  });
}

// Written so that a change that is not a number never counts as settled.
bool Slot4Settled(RunState& state) {
  const int n = state.BodyCount;
  for (int axis = 0; axis < 3; ++axis) {
    const double* now[3] = {state.Pos(axis, 4), state.Vel(axis, 4), state.Acc(axis, 4)};
    for (int v = 0; v < 3; ++v) {
      const double* prev = state.StartupPrev(3 * axis + v);
      for (int i = 0; i < n; ++i) {
        const double change = std::fabs(now[v][i] - prev[i]);
        if (change <= kStartupTolerance) continue;
        if (!std::isfinite(change)) throw ArithmeticError(kNotFiniteText);
        return false;
      }
    }
  }
  return true;
}

// A value that is not finite can enter only with the initial state (the flags catch
// every other way); after the pass limit the whole of slot 4 is checked for it.
void ThrowUnlessSlot4Finite(RunState& state) {
  const int n = state.BodyCount;
  for (int axis = 0; axis < 3; ++axis) {
    const double* now[3] = {state.Pos(axis, 4), state.Vel(axis, 4), state.Acc(axis, 4)};
    for (const double* values : now) {
      for (int i = 0; i < n; ++i) {
        if (!std::isfinite(values[i])) throw ArithmeticError(kNotFiniteText);
      }
    }
  }
}

// The share of the start-up done after `passes` passes, for a progress display. The
// ten bodies settle after about 4.6 + 1.5 passes per day of step (4 at 0.25 days, 20
// at 10); a start-up that needs more creeps towards the end without reaching it.
double StartupShareDone(int passes, double stepDays) {
  const double expected = 4.6 + 1.5 * stepDays;
  return passes / std::max(expected, passes + 1.0);
}

}  // namespace

int StartUpIteration(RunState& state, const IntegratorCoeffs& coeffs, int passLimit,
                     WorkerPool& pool, Progress* progress) {
  ClearArithmeticFlags();
  FirstGuess(state, 0, state.BodyCount);
  int passes = 0;
  while (true) {
    ThrowOnArithmeticFlags(Pass(state, coeffs, pool));
    ++passes;
    if (Slot4Settled(state)) return passes;
    if (passes >= passLimit) {
      ThrowUnlessSlot4Finite(state);
      return passes;
    }
    ReportProgress(progress, StartupShareDone(passes, state.StepDays), state.EpochJD);
  }
}

}  // namespace stelvo
