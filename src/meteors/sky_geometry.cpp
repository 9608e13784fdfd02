#include "meteors/sky_geometry.h"

#include <cmath>
#include <cstdio>

#include "initial/astronom.h"
#include "initial/constants.h"

namespace stelvo {

namespace {

// Low-precision apparent longitude of the Sun, equinox of date (Astronomical
// Almanac, section C): L mean longitude, g mean anomaly, n days from J2000.0.
double ApparentSunLongitudeOfDateDeg(double jd) {
  const double n = jd - kEpochJD;
  const double meanLongitude = 280.460 + 0.9856474 * n;
  const double g = (357.528 + 0.9856003 * n) * kDegToRad;
  return meanLongitude + 1.915 * std::sin(g) + 0.020 * std::sin(2 * g);
}

// General precession in longitude, 5028.796 arcsec per Julian century (Lieske et
// al. 1977, A&A 58, 1), and the annual aberration, 20.496 arcsec, which the
// apparent longitude contains and a geometric direction does not.
constexpr double kPrecessionDegPerCentury = 5028.796 / 3600;
constexpr double kAberrationDeg = 20.496 / 3600;
constexpr double kDaysPerCentury = 36525;
// Mean motion of the Sun's longitude, degrees per day.
constexpr double kSunDegPerDay = 0.9856474;

}  // namespace

double SunLongitudeJ2000Deg(double jd) {
  const double centuries = (jd - kEpochJD) / kDaysPerCentury;
  return ApparentSunLongitudeOfDateDeg(jd) + kAberrationDeg - kPrecessionDegPerCentury * centuries;
}

Vec3 EclipticToEquatorial(const Vec3& e) {
  static const double c = std::cos(kObliquityJ2000Deg * kDegToRad);
  static const double s = std::sin(kObliquityJ2000Deg * kDegToRad);
  return {e.x, c * e.y - s * e.z, s * e.y + c * e.z};
}

Radiant RadiantFromGeocentricVelocity(const Vec3& vg) {
  const double speed = std::sqrt(vg.x * vg.x + vg.y * vg.y + vg.z * vg.z);
  if (!(speed > 0)) return {0, 0, 0};
  const double perSpeed = -1 / speed;
  const Vec3 from = EclipticToEquatorial({vg.x * perSpeed, vg.y * perSpeed, vg.z * perSpeed});
  const double dec = std::asin(std::fmax(-1.0, std::fmin(1.0, from.z)));
  return {WrapDegrees(std::atan2(from.y, from.x) * kRadToDeg), dec * kRadToDeg,
          speed * kAuPerDayToKmS};
}

double WrapDegrees(double deg) {
  if (deg >= 0 && deg < 360.0) return deg;
  if (deg >= -360.0 && deg < 0) {
    const double w = deg + 360.0;
    return w >= 360.0 ? 0.0 : w;
  }
  double w = std::fmod(deg, 360.0);
  if (w < 0) w += 360.0;
  // fmod of a tiny negative number plus 360 rounds to 360 itself.
  return w >= 360.0 ? 0.0 : w;
}

double DegreesBetween(double a, double b) {
  const double d = WrapDegrees(a - b);
  return d >= 180.0 ? d - 360.0 : d;
}

double AngularSeparationDeg(double ra1, double dec1, double ra2, double dec2) {
  const double a1 = ra1 * kDegToRad, d1 = dec1 * kDegToRad;
  const double a2 = ra2 * kDegToRad, d2 = dec2 * kDegToRad;
  // The haversine form, well conditioned for small separations.
  const double sd = std::sin((d2 - d1) / 2), sa = std::sin((a2 - a1) / 2);
  const double h = sd * sd + std::cos(d1) * std::cos(d2) * sa * sa;
  return 2 * std::asin(std::sqrt(std::fmin(1.0, h))) * kRadToDeg;
}

double SolarLongitudeDeg(const Vec3& p) {
  return WrapDegrees(std::atan2(p.y, p.x) * kRadToDeg + 180.0);
}

double JulianDateOfSolarLongitude(double lambdaSunDeg, int year) {
  const double yearStart = JulianDate(year, 1, 1, 0, 0, 0);
  double jd =
      yearStart + WrapDegrees(lambdaSunDeg - SunLongitudeJ2000Deg(yearStart)) / kSunDegPerDay;
  // Newton's method on the smooth longitude; converges to well below a second.
  for (int k = 0; k < 6; ++k) {
    jd += DegreesBetween(lambdaSunDeg, SunLongitudeJ2000Deg(jd)) / kSunDegPerDay;
  }
  return jd;
}

void MonthDayOfSolarLongitude(double lambdaSunDeg, int year, std::array<char, 6>& out) {
  const CalendarTime t = CalendarFromJulianDate(JulianDateOfSolarLongitude(lambdaSunDeg, year));
  std::snprintf(out.data(), out.size(), "%02d-%02d", t.month, t.day);
}

}  // namespace stelvo
