#include "core/gravity.h"

#include "core/arithmetic_check.h"
#include "core/kernels.h"

namespace stelvo {

namespace {

const Kernels& KernelsFor(Isa isa) {
  switch (isa) {
    case Isa::kAvx512:
      return kAvx512Kernels;
    case Isa::kAvx2:
      return kAvx2Kernels;
    case Isa::kBaseline:
      break;
  }
  return kBaselineKernels;
}

Isa g_activeIsa = BestSupportedIsa();
const Kernels* g_kernels = &KernelsFor(g_activeIsa);

}  // namespace

bool IsaSupported(Isa isa) {
  __builtin_cpu_init();  // may run during static initialisation
  switch (isa) {
    case Isa::kAvx512:
      return __builtin_cpu_supports("avx512f");
    case Isa::kAvx2:
      return __builtin_cpu_supports("avx2");
    case Isa::kBaseline:
      return true;
  }
  return false;
}

Isa BestSupportedIsa() {
  if (IsaSupported(Isa::kAvx512)) return Isa::kAvx512;
  if (IsaSupported(Isa::kAvx2)) return Isa::kAvx2;
  return Isa::kBaseline;
}

Isa ActiveIsa() { return g_activeIsa; }

bool SelectIsa(Isa isa) {
  if (!IsaSupported(isa)) return false;
  g_activeIsa = isa;
  g_kernels = &KernelsFor(isa);
  return true;
}

std::string_view IsaName(Isa isa) {
  switch (isa) {
    case Isa::kAvx512:
      return "avx512";
    case Isa::kAvx2:
      return "avx2";
    case Isa::kBaseline:
      break;
  }
  return "x86-64";
}

const Kernels& ActiveKernels() { return *g_kernels; }

Sources SourcesFrom(PositionSet p, const double* gm, const double* sunFactor) {
  Sources sources;
  sources.sunFactor = sunFactor;
  for (int j = 0; j < kMassiveCount; ++j) {
    sources.x[j] = p.x[j];
    sources.y[j] = p.y[j];
    sources.z[j] = p.z[j];
    sources.gm[j] = gm[j];
  }
  return sources;
}

void MassiveAccelerations(const Sources& s, AccelerationSet a) {
  for (int i = 0; i < kMassiveCount; ++i) {
    double sumX = 0, sumY = 0, sumZ = 0;
    for (int j = 0; j < kMassiveCount; ++j) {
      if (j == i) continue;
      const double dx = s.x[i] - s.x[j];
      const double dy = s.y[i] - s.y[j];
      const double dz = s.z[i] - s.z[j];
      const double f = -s.gm[j] / CubedDistance(dx, dy, dz);
      sumX = sumX + dx * f;
      sumY = sumY + dy * f;
      sumZ = sumZ + dz * f;
    }
    a.x[i] = sumX;
    a.y[i] = sumY;
    a.z[i] = sumZ;
  }
}

int GravityAcceleration(PositionSet p, AccelerationSet a, const double* gm, const double* sunFactor,
                        int bodyCount, WorkerPool& pool) {
  const Sources sources = SourcesFrom(p, gm, sunFactor);
  MassiveAccelerations(sources, a);
  const Kernels& kernels = *g_kernels;
  return pool.ForEachBlock(kMassiveCount, bodyCount, [&](int begin, int end) {
    kernels.accelerations(sources, p.x, p.y, p.z, a.x, a.y, a.z, begin, end);
  });
}

NonGravInstant SlotInstant(const RunState& state, int slot) {
  NonGravInstant in;
  for (int axis = 0; axis < 3; ++axis) {
    in.at[axis] = state.Pos(axis, slot);
    in.framePos[axis] = state.Pos(axis, slot);
    in.frameVel[axis] = state.Vel(axis, slot);
    in.sunAt[axis] = state.Pos(axis, slot)[0];
  }
  in.sunGM = state.BodyGM()[0];
  return in;
}

void AddNonGravAtSlot(RunState& state, int slot, int begin, int end) {
  if (state.NonGravBodies.empty()) return;
  double* const acc[3] = {state.Acc(kX, slot), state.Acc(kY, slot), state.Acc(kZ, slot)};
  AddNonGravAccelerations(state.NonGravBodies, SlotInstant(state, slot), acc, 0, begin, end);
}

void InitialAccelerations(RunState& state, WorkerPool& pool) {
  ClearArithmeticFlags();
  const int raisedByWorkers =
      GravityAcceleration({state.Pos(kX, 0), state.Pos(kY, 0), state.Pos(kZ, 0)},
                          {state.Acc(kX, 0), state.Acc(kY, 0), state.Acc(kZ, 0)}, state.BodyGM(),
                          state.SunFactor(), state.BodyCount, pool);
  // The comets' own force on top of gravity; a handful of bodies, so on this thread.
  AddNonGravAtSlot(state, 0, kMassiveCount, state.BodyCount);
  // A body on a massive body's start position leaves NaN in slot 0; the start-up
  // clears the flags, so the fault must be reported here or it is lost.
  ThrowOnArithmeticFlags(raisedByWorkers);
}

}  // namespace stelvo
