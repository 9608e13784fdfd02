#include "initial/orbit.h"

#include <cmath>

#include "initial/constants.h"

namespace stelvo {

namespace {
// Newton's method from E = M converges in a handful of steps for every e < 1; the
// cap only catches a mean anomaly so large that its steps can no longer shrink.
constexpr int kMaxKeplerIterations = 1000;
}  // namespace

double SolveKepler(double meanAnomaly, double ecc) {
  if (!(ecc >= 0.0 && ecc < 1.0) || !std::isfinite(meanAnomaly)) {
    throw OrbitError("Kepler's equation needs 0 <= e < 1 and a finite mean anomaly");
  }
  double e = meanAnomaly;
  for (int iteration = 0; iteration < kMaxKeplerIterations; ++iteration) {
    const double delta = (ecc * std::sin(e) + (meanAnomaly - e)) / (1 - ecc * std::cos(e));
    e = e + delta;
    if (std::fabs(delta) < 1e-10) return e;
  }
  throw OrbitError("Kepler's equation did not converge");
}

StateVector ElementsToState(double a, double ecc, double incl, double node, double argPeri,
                            double meanAnomaly) {
  const double e = SolveKepler(meanAnomaly, ecc);
  // Through tan(E/2), so a mean anomaly of several revolutions needs no reduction.
  const double nu = 2 * std::atan(std::sqrt((1 + ecc) / (1 - ecc)) * std::sin(e / 2) /
                                  std::cos(e / 2));
  const double r = (1 - ecc * ecc) * a / (1 + ecc * std::cos(nu));

  const double cosI = std::cos(incl), sinI = std::sin(incl);
  const double cosN = std::cos(node), sinN = std::sin(node);
  auto rotate = [&](double x0, double y0, double z0, double& x, double& y, double& z) {
    const double y1 = cosI * y0 - sinI * z0;
    const double z1 = sinI * y0 + cosI * z0;
    x = cosN * x0 - sinN * y1;
    y = sinN * x0 + cosN * y1;
    z = z1;
  };

  StateVector s{};
  const double u = nu + argPeri;
  rotate(r * std::cos(u), r * std::sin(u), 0.0, s.x, s.y, s.z);

  const double speedScale = kGaussK / std::sqrt(a);
  const double denominator = 1 - ecc * std::cos(e);
  const double vXi = -speedScale * std::sin(e) / denominator;
  const double vEta = speedScale * std::cos(e) / denominator * std::sqrt((1 - ecc) * (1 + ecc));
  const double cosW = std::cos(argPeri), sinW = std::sin(argPeri);
  rotate(cosW * vXi - sinW * vEta, sinW * vXi + cosW * vEta, 0.0, s.vx, s.vy, s.vz);
  return s;
}

void DeriveElements(BahnElement& elements) {
  elements.Incl = elements.Incl * kDegToRad;
  elements.Node = elements.Node * kDegToRad;
  elements.ArgPeri = elements.ArgPeri * kDegToRad;
  elements.a = elements.q / (1 - elements.Ecc);
  const double a = elements.a;
  elements.MeanMotion = std::sqrt(kGaussK2 / (a * a * a));
}

}  // namespace stelvo
