#include "core/gravity.h"

#include "core/gravity_kernel.h"

namespace stelvo {

namespace {

using gravity_detail::ParticleKernel;
using gravity_detail::Sources;

ParticleKernel KernelFor(Isa isa) {
  switch (isa) {
    case Isa::kAvx512:
      return gravity_detail::ParticlesAvx512;
    case Isa::kAvx2:
      return gravity_detail::ParticlesAvx2;
    case Isa::kBaseline:
      break;
  }
  return gravity_detail::ParticlesBaseline;
}

Isa g_activeIsa = BestSupportedIsa();
ParticleKernel g_particleKernel = KernelFor(g_activeIsa);

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
  g_particleKernel = KernelFor(isa);
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

void GravityAcceleration(PositionSet p, AccelerationSet a, const double* gm, int bodyCount) {
  const int massive = bodyCount < kMassiveCount ? bodyCount : kMassiveCount;
  Sources sources{};
  for (int j = 0; j < massive; ++j) {
    sources.x[j] = p.x[j];
    sources.y[j] = p.y[j];
    sources.z[j] = p.z[j];
    sources.gm[j] = gm[j];
  }
  // The massive bodies attract each other: every pair but the self-pair.
  for (int i = 0; i < massive; ++i) {
    double sumX = 0, sumY = 0, sumZ = 0;
    for (int j = 0; j < massive; ++j) {
      if (j == i) continue;
      const double dx = p.x[i] - sources.x[j];
      const double dy = p.y[i] - sources.y[j];
      const double dz = p.z[i] - sources.z[j];
      const double f = -sources.gm[j] / CubedDistance(dx, dy, dz);
      sumX = sumX + dx * f;
      sumY = sumY + dy * f;
      sumZ = sumZ + dz * f;
    }
    a.x[i] = sumX;
    a.y[i] = sumY;
    a.z[i] = sumZ;
  }
  if (bodyCount > kMassiveCount) {
    g_particleKernel(sources, p.x, p.y, p.z, a.x, a.y, a.z, kMassiveCount, bodyCount);
  }
}

void InitialAccelerations(RunState& state) {
  GravityAcceleration({state.Pos(kX, 0), state.Pos(kY, 0), state.Pos(kZ, 0)},
                      {state.Acc(kX, 0), state.Acc(kY, 0), state.Acc(kZ, 0)}, state.BodyGM(),
                      state.BodyCount);
}

}  // namespace stelvo
