#include "core/startup.h"

#include <array>
#include <cmath>

#include "core/arithmetic_check.h"
#include "core/gravity.h"
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

void FirstGuess(RunState& state) {
  const int n = state.BodyCount;
  for (int axis = 0; axis < 3; ++axis) {
    const double* a0 = state.Acc(axis, 0);
    for (int k = -4; k <= 4; ++k) {
      if (k == 0) continue;
      double* ak = state.Acc(axis, k);
      for (int i = 0; i < n; ++i) ak[i] = a0[i];
    }
    double* p4 = state.Pos(axis, 4);
    double* v4 = state.Vel(axis, 4);
    for (int i = 0; i < n; ++i) p4[i] = 0, v4[i] = 0;
  }
}

void RememberSlot4(RunState& state) {
  const int n = state.BodyCount;
  for (int axis = 0; axis < 3; ++axis) {
    const double* sources[3] = {state.Pos(axis, 4), state.Vel(axis, 4), state.Acc(axis, 4)};
    for (int v = 0; v < 3; ++v) {
      double* prev = state.StartupPrev(3 * axis + v);
      for (int i = 0; i < n; ++i) prev[i] = sources[v][i];
    }
  }
}

// One pass of phases 3.1 to 3.7 for one coordinate, over all bodies.
void MarchAxis(RunState& state, const IntegratorCoeffs& c, int axis) {
  const int n = state.BodyCount;
  const double h = state.StepDays;
  const double hh = h * h;
  auto pos = [&](int slot) { return state.Pos(axis, slot); };
  auto vel = [&](int slot) { return state.Vel(axis, slot); };

  // The initial velocity enters the history here only: the centre-velocity relation.
  const Nine centre = AccSlots(state, axis, 4, -1);
  for (int i = 0; i < n; ++i) {
    pos(-1)[i] = (hh * centre.Sum(c.CentreVelOrd, i) - h * vel(0)[i]) + pos(0)[i];
  }
  // Continue the polynomial of degree 8 through the nearest accelerations.
  for (int k = 5; k <= 8; ++k) {
    const Nine back = AccSlots(state, axis, -k + 1, +1);
    double* out = state.Acc(axis, -k);
    for (int i = 0; i < n; ++i) out[i] = back.Sum(c.ExtrapOrd, i);
  }
  for (int k = 5; k <= 8; ++k) {
    const Nine forward = AccSlots(state, axis, k - 1, -1);
    double* out = state.Acc(axis, k);
    for (int i = 0; i < n; ++i) out[i] = forward.Sum(c.ExtrapOrd, i);
  }
  // Cowell, marching outward from slot 0; backward with step -h.
  for (int k = 1; k <= 4; ++k) {
    const Nine w = AccSlots(state, axis, k, -1);
    for (int i = 0; i < n; ++i) {
      pos(k)[i] = 2 * pos(k - 1)[i] + (hh * w.Sum(c.Cowell9Ord, i) - pos(k - 2)[i]);
    }
  }
  for (int k = 2; k <= 4; ++k) {
    const Nine w = AccSlots(state, axis, -k, +1);
    for (int i = 0; i < n; ++i) {
      pos(-k)[i] = 2 * pos(-k + 1)[i] + (hh * w.Sum(c.Cowell9Ord, i) - pos(-k + 2)[i]);
    }
  }
  // Adams-Moulton for the velocities, both ways.
  for (int k = 1; k <= 4; ++k) {
    const Nine w = AccSlots(state, axis, k, -1);
    for (int i = 0; i < n; ++i) vel(k)[i] = h * w.Sum(c.AdamsMoulton9Ord, i) + vel(k - 1)[i];
  }
  for (int k = 1; k <= 4; ++k) {
    const Nine w = AccSlots(state, axis, -k, +1);
    for (int i = 0; i < n; ++i) {
      vel(-k)[i] = -h * w.Sum(c.AdamsMoulton9Ord, i) + vel(-k + 1)[i];
    }
  }
}

void EvaluateHistory(RunState& state) {
  for (int k = -4; k <= 4; ++k) {
    if (k == 0) continue;
    GravityAcceleration({state.Pos(kX, k), state.Pos(kY, k), state.Pos(kZ, k)},
                        {state.Acc(kX, k), state.Acc(kY, k), state.Acc(kZ, k)},
                        state.BodyGM(), state.SunFactor(), state.BodyCount);
  }
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

}  // namespace

int StartUpIteration(RunState& state, const IntegratorCoeffs& coeffs, int passLimit) {
  ClearArithmeticFlags();
  FirstGuess(state);
  int passes = 0;
  while (true) {
    RememberSlot4(state);
    for (int axis = 0; axis < 3; ++axis) MarchAxis(state, coeffs, axis);
    EvaluateHistory(state);
    ThrowOnArithmeticFlags();
    ++passes;
    if (Slot4Settled(state)) return passes;
    if (passes >= passLimit) {
      ThrowUnlessSlot4Finite(state);
      return passes;
    }
  }
}

}  // namespace stelvo
