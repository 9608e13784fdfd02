#include "meteors/two_body.h"

#include <cmath>

#include "initial/constants.h"

namespace stelvo {

namespace {

struct V3 {
  double x, y, z;
};
V3 Cross(const V3& a, const V3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double Dot(const V3& a, const V3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
double Norm(const V3& a) { return std::sqrt(Dot(a, a)); }

double WrapPi(double angle) { return angle - kTwoPi * std::floor((angle + kPi) / kTwoPi); }

}  // namespace

OsculatingElements StateToElements(const StateVector& s, double mu) {
  const V3 p{s.x, s.y, s.z}, v{s.vx, s.vy, s.vz};
  const double r = Norm(p);
  const double v2 = Dot(v, v);
  const double inverseA = 2 / r - v2 / mu;
  if (!(inverseA > 0)) throw OrbitError("the orbit is not elliptic");
  const V3 h = Cross(p, v);
  const double hn = Norm(h);
  const double rv = Dot(p, v);
  const V3 e{((v2 - mu / r) * p.x - rv * v.x) / mu, ((v2 - mu / r) * p.y - rv * v.y) / mu,
             ((v2 - mu / r) * p.z - rv * v.z) / mu};
  OsculatingElements el{};
  el.a = 1 / inverseA;
  el.ecc = Norm(e);
  if (!(el.ecc < 1)) throw OrbitError("the orbit is not elliptic");
  el.incl = std::acos(h.z / hn);
  // The ascending node lies along z x h; in the ecliptic plane itself it is the x axis.
  V3 node{-h.y, h.x, 0};
  if (Norm(node) < 1e-14 * hn) node = {1, 0, 0};
  const double nn = Norm(node);
  const V3 nodeUnit{node.x / nn, node.y / nn, 0};
  el.node = std::atan2(nodeUnit.y, nodeUnit.x);
  if (el.node < 0) el.node += kTwoPi;
  const V3 hUnit{h.x / hn, h.y / hn, h.z / hn};
  const V3 inPlane = Cross(hUnit, nodeUnit);  // 90 degrees ahead of the node
  // Measured from the node along the motion; a circle has its perihelion at the node.
  double nu;
  if (el.ecc > 1e-12) {
    el.argPeri = std::atan2(Dot(e, inPlane), Dot(e, nodeUnit));
    const V3 eUnit{e.x / el.ecc, e.y / el.ecc, e.z / el.ecc};
    nu = std::atan2(Dot(p, Cross(hUnit, eUnit)), Dot(p, eUnit));
  } else {
    el.argPeri = 0;
    nu = std::atan2(Dot(p, inPlane), Dot(p, nodeUnit));
  }
  if (el.argPeri < 0) el.argPeri += kTwoPi;
  const double bigE =
      std::atan2(std::sqrt((1 - el.ecc) * (1 + el.ecc)) * std::sin(nu), el.ecc + std::cos(nu));
  el.meanAnomaly = WrapPi(bigE - el.ecc * std::sin(bigE));
  el.meanMotion = std::sqrt(mu * inverseA * inverseA * inverseA);
  return el;
}

StateVector ElementsToStateMu(const OsculatingElements& el, double mu) {
  const double bigE = SolveKepler(WrapPi(el.meanAnomaly), el.ecc);
  const double cosE = std::cos(bigE), sinE = std::sin(bigE);
  const double root = std::sqrt((1 - el.ecc) * (1 + el.ecc));
  const double xi = el.a * (cosE - el.ecc), eta = el.a * root * sinE;
  const double n = std::sqrt(mu / (el.a * el.a * el.a));
  const double denominator = 1 - el.ecc * cosE;
  const double vXi = -el.a * n * sinE / denominator, vEta = el.a * n * root * cosE / denominator;

  const double cw = std::cos(el.argPeri), sw = std::sin(el.argPeri);
  const double cn = std::cos(el.node), sn = std::sin(el.node);
  const double ci = std::cos(el.incl), si = std::sin(el.incl);
  // Perifocal to ecliptic: R3(-node) R1(-incl) R3(-argPeri).
  const double px = cn * cw - sn * sw * ci, qx = -cn * sw - sn * cw * ci;
  const double py = sn * cw + cn * sw * ci, qy = -sn * sw + cn * cw * ci;
  const double pz = sw * si, qz = cw * si;
  return {px * xi + qx * eta,   py * xi + qy * eta,   pz * xi + qz * eta,
          px * vXi + qx * vEta, py * vXi + qy * vEta, pz * vXi + qz * vEta};
}

StateVector PropagateTwoBody(const StateVector& s, double mu, double dt) {
  OsculatingElements el = StateToElements(s, mu);
  el.meanAnomaly = WrapPi(el.meanAnomaly + el.meanMotion * dt);
  return ElementsToStateMu(el, mu);
}

double DaysToPerihelion(const StateVector& s, double mu) {
  const OsculatingElements el = StateToElements(s, mu);
  return -el.meanAnomaly / el.meanMotion;
}

}  // namespace stelvo
