#include "meteors/sun_moon.h"

#include <array>
#include <cmath>

#include "meteors/sky_geometry.h"

namespace stelvo {

namespace {

constexpr double kDegToRad = 1 / kRadToDeg;
constexpr double kJ2000 = 2451545.0;

double SinD(double deg) { return std::sin(deg * kDegToRad); }
double CosD(double deg) { return std::cos(deg * kDegToRad); }

double Centuries(double jd) { return (jd - kJ2000) / 36525; }

// Nutation in longitude and obliquity (degrees) from the four largest terms, and the
// mean obliquity (Meeus ch. 22).
struct Nutation {
  double dPsi, dEps, meanEps;
};
Nutation NutationAt(double t) {
  const double omega = 125.04452 - 1934.136261 * t;
  const double sunL = 280.4665 + 36000.7698 * t;
  const double moonL = 218.3165 + 481267.8813 * t;
  const double dPsi = (-17.20 * SinD(omega) - 1.32 * SinD(2 * sunL) - 0.23 * SinD(2 * moonL) +
                       0.21 * SinD(2 * omega)) / 3600;
  const double dEps = (9.20 * CosD(omega) + 0.57 * CosD(2 * sunL) + 0.10 * CosD(2 * moonL) -
                       0.09 * CosD(2 * omega)) / 3600;
  const double mean = 23.43929111 - (46.8150 * t + 0.00059 * t * t - 0.001813 * t * t * t) / 3600;
  return {dPsi, dEps, mean};
}

SkyPlace FromEcliptic(double lambdaDeg, double betaDeg, double epsDeg, double distanceKm) {
  const double ra = std::atan2(SinD(lambdaDeg) * CosD(epsDeg) - std::tan(betaDeg * kDegToRad) * SinD(epsDeg),
                               CosD(lambdaDeg));
  const double dec =
      std::asin(SinD(betaDeg) * CosD(epsDeg) + CosD(betaDeg) * SinD(epsDeg) * SinD(lambdaDeg));
  return {WrapDegrees(ra * kRadToDeg), dec * kRadToDeg, distanceKm};
}

struct SunEcliptic {
  double lambdaDeg;  // apparent longitude
  double distanceKm;
};
SunEcliptic SunLongitude(double t) {
  const double l0 = 280.46646 + 36000.76983 * t + 0.0003032 * t * t;
  const double m = 357.52911 + 35999.05029 * t - 0.0001537 * t * t;
  const double e = 0.016708634 - 0.000042037 * t - 0.0000001267 * t * t;
  const double c = (1.914602 - 0.004817 * t - 0.000014 * t * t) * SinD(m) +
                   (0.019993 - 0.000101 * t) * SinD(2 * m) + 0.000289 * SinD(3 * m);
  const double trueAnomaly = m + c;
  const double rAu = 1.000001018 * (1 - e * e) / (1 + e * CosD(trueAnomaly));
  const double omega = 125.04 - 1934.136 * t;
  return {l0 + c - 0.00569 - 0.00478 * SinD(omega), rAu * kAuKm};
}

// One periodic term of the Moon's tables: multiples of D, M, M', F and the
// coefficients of sin (longitude, 1e-6 deg) and cos (distance, 1e-3 km).
struct MoonTerm {
  int d, m, mp, f;
  double sinCoeff, cosCoeff;
};
constexpr std::array<MoonTerm, 24> kLongitudeDistance{{
    {0, 0, 1, 0, 6288774, -20905355}, {2, 0, -1, 0, 1274027, -3699111},
    {2, 0, 0, 0, 658314, -2955968},   {0, 0, 2, 0, 213618, -569925},
    {0, 1, 0, 0, -185116, 48888},     {0, 0, 0, 2, -114332, -3149},
    {2, 0, -2, 0, 58793, 246158},     {2, -1, -1, 0, 57066, -152138},
    {2, 0, 1, 0, 53322, -170733},     {2, -1, 0, 0, 45758, -204586},
    {0, 1, -1, 0, -40923, -129620},   {1, 0, 0, 0, -34720, 108743},
    {0, 1, 1, 0, -30383, 104755},     {2, 0, 0, -2, 15327, 10321},
    {0, 0, 1, 2, -12528, 0},          {0, 0, 1, -2, 10980, 79661},
    {4, 0, -1, 0, 10675, -34782},     {0, 0, 3, 0, 10034, -23210},
    {4, 0, -2, 0, 8548, -21636},      {2, 1, -1, 0, -7888, 24208},
    {2, 1, 0, 0, -6766, 30824},       {1, 0, -1, 0, -5163, -8379},
    {1, 1, 0, 0, 4987, -16675},       {2, -1, 1, 0, 4036, -12831},
}};
constexpr std::array<MoonTerm, 13> kLatitude{{
    {0, 0, 0, 1, 5128122, 0}, {0, 0, 1, 1, 280602, 0},  {0, 0, 1, -1, 277693, 0},
    {2, 0, 0, -1, 173237, 0}, {2, 0, -1, 1, 55413, 0},  {2, 0, -1, -1, 46271, 0},
    {2, 0, 0, 1, 32573, 0},   {0, 0, 2, 1, 17198, 0},   {2, 0, 1, -1, 9266, 0},
    {0, 0, 2, -1, 8822, 0},   {2, -1, 0, -1, 8216, 0},  {2, 0, -2, -1, 4324, 0},
    {2, 0, 1, 1, 4200, 0},
}};

struct MoonEcliptic {
  double lambdaDeg, betaDeg, distanceKm;  // apparent longitude (with nutation)
};
MoonEcliptic MoonEclipticAt(double t, const Nutation& nut) {
  const double t2 = t * t, t3 = t2 * t, t4 = t3 * t;
  const double lp = 218.3164477 + 481267.88123421 * t - 0.0015786 * t2 + t3 / 538841 - t4 / 65194000;
  const double d = 297.8501921 + 445267.1114034 * t - 0.0018819 * t2 + t3 / 545868 - t4 / 113065000;
  const double m = 357.5291092 + 35999.0502909 * t - 0.0001536 * t2 + t3 / 24490000;
  const double mp = 134.9633964 + 477198.8675055 * t + 0.0087414 * t2 + t3 / 69699 - t4 / 14712000;
  const double f = 93.2720950 + 483202.0175233 * t - 0.0036539 * t2 - t3 / 3526000 + t4 / 863310000;
  const double e = 1 - 0.002516 * t - 0.0000074 * t2;
  auto eccentricity = [e](int mMultiple) {
    return mMultiple == 0 ? 1.0 : (mMultiple == 1 || mMultiple == -1 ? e : e * e);
  };
  double sumL = 0, sumR = 0, sumB = 0;
  for (const MoonTerm& k : kLongitudeDistance) {
    const double arg = k.d * d + k.m * m + k.mp * mp + k.f * f;
    sumL += k.sinCoeff * eccentricity(k.m) * SinD(arg);
    sumR += k.cosCoeff * eccentricity(k.m) * CosD(arg);
  }
  for (const MoonTerm& k : kLatitude) {
    sumB += k.sinCoeff * eccentricity(k.m) * SinD(k.d * d + k.m * m + k.mp * mp + k.f * f);
  }
  const double a1 = 119.75 + 131.849 * t, a2 = 53.09 + 479264.290 * t, a3 = 313.45 + 481266.484 * t;
  sumL += 3958 * SinD(a1) + 1962 * SinD(lp - f) + 318 * SinD(a2);
  sumB += -2235 * SinD(lp) + 382 * SinD(a3) + 175 * SinD(a1 - f) + 175 * SinD(a1 + f) +
          127 * SinD(lp - mp) - 115 * SinD(lp + mp);
  return {lp + sumL / 1e6 + nut.dPsi, sumB / 1e6, 385000.56 + sumR / 1000};
}

}  // namespace

SkyPlace SunPlace(double jd) {
  const double t = Centuries(jd);
  const SunEcliptic sun = SunLongitude(t);
  // Meeus 25.8: the apparent obliquity's correction with the same Omega.
  const Nutation nut = NutationAt(t);
  const double eps = nut.meanEps + 0.00256 * CosD(125.04 - 1934.136 * t);
  return FromEcliptic(sun.lambdaDeg, 0, eps, sun.distanceKm);
}

SkyPlace MoonPlace(double jd) {
  const double t = Centuries(jd);
  const Nutation nut = NutationAt(t);
  const MoonEcliptic moon = MoonEclipticAt(t, nut);
  return FromEcliptic(moon.lambdaDeg, moon.betaDeg, nut.meanEps + nut.dEps, moon.distanceKm);
}

Vec3 MoonGeocentricJ2000Au(double jd) {
  const double t = Centuries(jd);
  const Nutation nut = NutationAt(t);
  const MoonEcliptic moon = MoonEclipticAt(t, nut);
  const double lambda = moon.lambdaDeg - nut.dPsi;  // mean ecliptic and equinox of date
  // From the date (T = t) back to J2000 (an interval of -t), in arcseconds.
  const double span = -t;
  const double eta = (47.0029 - 0.06603 * t + 0.000598 * t * t) * span +
                     (-0.03302 + 0.000598 * t) * span * span + 0.000060 * span * span * span;
  const double pi = 174.876384 * 3600 + 3289.4789 * t + 0.60622 * t * t -
                    (869.8089 + 0.50491 * t) * span + 0.03536 * span * span;
  const double p = (5029.0966 + 2.22226 * t - 0.000042 * t * t) * span +
                   (1.11113 - 0.000042 * t) * span * span - 0.000006 * span * span * span;
  const double etaDeg = eta / 3600, piDeg = pi / 3600, pDeg = p / 3600;
  const double a = CosD(etaDeg) * CosD(moon.betaDeg) * SinD(piDeg - lambda) -
                   SinD(etaDeg) * SinD(moon.betaDeg);
  const double b = CosD(moon.betaDeg) * CosD(piDeg - lambda);
  const double c = CosD(etaDeg) * SinD(moon.betaDeg) +
                   SinD(etaDeg) * CosD(moon.betaDeg) * SinD(piDeg - lambda);
  const double lambda2000 = pDeg + piDeg - std::atan2(a, b) * kRadToDeg;
  const double beta2000 = std::asin(std::fmax(-1.0, std::fmin(1.0, c))) * kRadToDeg;
  const double r = moon.distanceKm / kAuKm;
  return {r * CosD(beta2000) * CosD(lambda2000), r * CosD(beta2000) * SinD(lambda2000),
          r * SinD(beta2000)};
}

double MoonIlluminatedFraction(double jd) {
  const double t = Centuries(jd);
  const Nutation nut = NutationAt(t);
  const MoonEcliptic moon = MoonEclipticAt(t, nut);
  const SunEcliptic sun = SunLongitude(t);
  const double cosPsi = CosD(moon.betaDeg) * CosD(moon.lambdaDeg - sun.lambdaDeg);
  const double psi = std::acos(std::fmax(-1.0, std::fmin(1.0, cosPsi)));
  const double phase = std::atan2(sun.distanceKm * std::sin(psi), moon.distanceKm - sun.distanceKm * cosPsi);
  return (1 + std::cos(phase)) / 2;
}

}  // namespace stelvo
