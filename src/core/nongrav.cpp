#include "core/nongrav.h"

#include <cmath>

namespace stelvo {

namespace {

// Marsden, Sekanina & Yeomans (1973, AJ 78, 211), eq. (5) with the constants of
// their table: the water-ice sublimation rate normalised to 1 at 1 AU.
constexpr double kAlpha = 0.1112620426;
constexpr double kR0 = 2.808;  // AU
constexpr double kM = 2.15, kN = 5.093, kK = 4.6142;

constexpr double kTwoPi = 6.283185307179586476925286766559;

struct V3 {
  double x, y, z;
};
V3 Cross(const V3& a, const V3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double Norm(const V3& a) { return std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z); }
V3 Unit(const V3& a) {
  const double n = Norm(a);
  return {a.x / n, a.y / n, a.z / n};
}

// A model: the value of g for a body whose heliocentric position at the evaluated
// instant has length r, given its heliocentric state `frame` frameAge days earlier.
using GRule = double (*)(const NonGravParams& p, double r, const double frame[6], double frameAge,
                         double mu);

// Marsden, Sekanina & Yeomans (1973): g at the present distance.
double SymmetricG(const NonGravParams&, double r, const double*, double, double) {
  return NonGravG(r);
}

// Yeomans & Chodas (1989, AJ 98, 1083), as JPL fits it (Horizons documentation, "DT"):
// g at r(t - DT), the distance of DT days before. The orbit over DT is the two-body
// orbit of the present state: the planets' share of the change of r over weeks is a
// part in 1e4 or less of g's argument, far below the uncertainty of a fitted DT.
double TimeShiftedG(const NonGravParams& p, double, const double* frame, double frameAge,
                    double mu) {
  return NonGravG(TwoBodyDistanceAfter(frame, mu, frameAge - p.dtDays));
}

struct ModelEntry {
  NonGravModel model;
  std::string_view name;
  GRule g;
};
// Indexed by NonGravModel.
constexpr ModelEntry kModels[] = {
    {NonGravModel::kSymmetric, "Marsden-Sekanina-Yeomans 1973", SymmetricG},
    {NonGravModel::kTimeShifted, "JPL time-shifted (DT)", TimeShiftedG},
};

const ModelEntry& Entry(NonGravModel model) { return kModels[static_cast<int>(model)]; }

// Eccentric anomaly for E - e sin E = M (M in [-pi, pi]), Newton's method from
// Danby's start M + 0.85 e sign(sin M), which converges for every e < 1.
double EccentricAnomaly(double meanAnomaly, double ecc) {
  double e = meanAnomaly + (std::sin(meanAnomaly) < 0 ? -0.85 : 0.85) * ecc;
  for (int k = 0; k < 50; ++k) {
    const double f = e - ecc * std::sin(e) - meanAnomaly;
    const double step = f / (1 - ecc * std::cos(e));
    e -= step;
    if (std::fabs(step) < 1e-14) break;
  }
  return e;
}

void AddOne(const NonGravBody& body, const NonGravInstant& in, double* const acc[3],
            int accOffset) {
  const int i = body.row;
  const int at = i - in.atOffset;
  const V3 r{in.at[0][at] - in.sunAt[0], in.at[1][at] - in.sunAt[1], in.at[2][at] - in.sunAt[2]};
  const double frame[6] = {
      in.framePos[0][i] - in.framePos[0][0], in.framePos[1][i] - in.framePos[1][0],
      in.framePos[2][i] - in.framePos[2][0], in.frameVel[0][i] - in.frameVel[0][0],
      in.frameVel[1][i] - in.frameVel[1][0], in.frameVel[2][i] - in.frameVel[2][0]};
  // The radial direction is that of the evaluated position; the plane of the orbit
  // that of the frame state. In a step's first evaluation the velocity of the predicted
  // position is not known (the predictor gives positions only), so the plane is the
  // one of the accepted point a step earlier; only the planets and A3 turn it within a
  // step. Measured for 55P (JPL J985/69, 1-day step, 1965-1998): the normal turns by at
  // most 7.4e-7 rad per step within 3 AU of the Sun (8.8e-6 rad far out, where g is
  // below 1e-10), g times that angle stays below 2.3e-7, so the force of the predicted
  // evaluation is off by less than 4e-16 AU/day^2. That evaluation only feeds the
  // correctors; the corrected one has its own velocity and gives the history's value.
  const double distance = Norm(r);
  const V3 radial{r.x / distance, r.y / distance, r.z / distance};
  const V3 normal = Unit(Cross({frame[0], frame[1], frame[2]}, {frame[3], frame[4], frame[5]}));
  const V3 transverse = Unit(Cross(normal, radial));
  const double g = Entry(body.model).g(body.params, distance, frame, in.frameAge, in.sunGM);
  const double g1 = g * body.params.a1, g2 = g * body.params.a2, g3 = g * body.params.a3;
  const int k = i - accOffset;
  acc[0][k] = acc[0][k] + ((g1 * radial.x + g2 * transverse.x) + g3 * normal.x);
  acc[1][k] = acc[1][k] + ((g1 * radial.y + g2 * transverse.y) + g3 * normal.y);
  acc[2][k] = acc[2][k] + ((g1 * radial.z + g2 * transverse.z) + g3 * normal.z);
}

}  // namespace

double NonGravG(double rAu) {
  const double x = rAu / kR0;
  return kAlpha * std::pow(x, -kM) * std::pow(1 + std::pow(x, kN), -kK);
}

NonGravModel ModelFor(const NonGravParams& params) {
  return params.dtDays != 0 ? NonGravModel::kTimeShifted : NonGravModel::kSymmetric;
}

std::string_view NonGravModelName(NonGravModel model) { return Entry(model).name; }

double TwoBodyDistanceAfter(const double s[6], double mu, double dtDays) {
  const double r0 = std::sqrt(s[0] * s[0] + s[1] * s[1] + s[2] * s[2]);
  const double v2 = s[3] * s[3] + s[4] * s[4] + s[5] * s[5];
  const double inverseA = 2 / r0 - v2 / mu;
  if (!(inverseA > 0)) return r0;
  const double a = 1 / inverseA;
  // e cos E0 and e sin E0 of the present point (Danby, Fundamentals of Celestial
  // Mechanics, 6.3): 1 - r/a and r.v / sqrt(mu a).
  const double eCos = 1 - r0 * inverseA;
  const double eSin = (s[0] * s[3] + s[1] * s[4] + s[2] * s[5]) / std::sqrt(mu * a);
  const double ecc = std::hypot(eCos, eSin);
  if (!(ecc < 1)) return r0;
  const double e0 = std::atan2(eSin, eCos);
  const double meanMotion = std::sqrt(mu * inverseA * inverseA * inverseA);
  const double mean = std::remainder(e0 - eSin + meanMotion * dtDays, kTwoPi);
  return a * (1 - ecc * std::cos(EccentricAnomaly(mean, ecc)));
}

void AddNonGravAccelerations(std::span<const NonGravBody> bodies, const NonGravInstant& instant,
                             double* const acc[3], int accOffset, int begin, int end) {
  for (const NonGravBody& body : bodies) {
    if (body.row >= begin && body.row < end) AddOne(body, instant, acc, accOffset);
  }
}

}  // namespace stelvo
