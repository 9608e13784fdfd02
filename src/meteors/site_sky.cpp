#include "meteors/site_sky.h"

#include <cmath>

#include "initial/time_scale.h"
#include "meteors/sky_geometry.h"
#include "meteors/sun_moon.h"

namespace stelvo {

namespace {

constexpr double kDegToRad = 1 / kRadToDeg;
constexpr double kEarthEquatorialRadiusKm = 6378.14;

double SinD(double deg) { return std::sin(deg * kDegToRad); }
double CosD(double deg) { return std::cos(deg * kDegToRad); }

}  // namespace

double GreenwichSiderealDeg(double jdUt) {
  const double d = jdUt - 2451545.0;
  const double t = d / 36525;
  return WrapDegrees(280.46061837 + 360.98564736629 * d + 0.000387933 * t * t - t * t * t / 38710000);
}

void PrecessFromJ2000(double jd, double& raDeg, double& decDeg) {
  const double t = (jd - 2451545.0) / 36525;
  const double zeta = (2306.2181 * t + 0.30188 * t * t + 0.017998 * t * t * t) / 3600;
  const double z = (2306.2181 * t + 1.09468 * t * t + 0.018203 * t * t * t) / 3600;
  const double theta = (2004.3109 * t - 0.42665 * t * t - 0.041833 * t * t * t) / 3600;
  const double a = CosD(decDeg) * SinD(raDeg + zeta);
  const double b = CosD(theta) * CosD(decDeg) * CosD(raDeg + zeta) - SinD(theta) * SinD(decDeg);
  const double c = SinD(theta) * CosD(decDeg) * CosD(raDeg + zeta) + CosD(theta) * SinD(decDeg);
  raDeg = WrapDegrees(std::atan2(a, b) * kRadToDeg + z);
  decDeg = std::asin(std::fmax(-1.0, std::fmin(1.0, c))) * kRadToDeg;
}

double AltitudeDeg(const Site& site, double greenwichSiderealDeg, double raDeg, double decDeg) {
  const double hourAngle = greenwichSiderealDeg + site.lonDeg - raDeg;
  const double s = SinD(site.latDeg) * SinD(decDeg) + CosD(site.latDeg) * CosD(decDeg) * CosD(hourAngle);
  return std::asin(std::fmax(-1.0, std::fmin(1.0, s))) * kRadToDeg;
}

double HourlyRate(double zhr, double radiantAltDeg, double sunAltDeg, double populationIndex,
                  double limitingMagnitude) {
  if (radiantAltDeg <= 0 || sunAltDeg > kDaylightSunAltDeg) return 0;
  return zhr * std::pow(SinD(radiantAltDeg), kZenithExponent) *
         std::pow(populationIndex, limitingMagnitude - 6.5);
}

SiteView ViewFromSite(const Site& site, double jd, double radiantRaJ2000Deg,
                      double radiantDecJ2000Deg, double zhr, double populationIndex,
                      double limitingMagnitude) {
  // jd is the run's TT: the Earth's rotation follows UT, the Sun and Moon TT.
  const double gst = GreenwichSiderealDeg(UniversalFromTerrestrial(jd));
  double ra = radiantRaJ2000Deg, dec = radiantDecJ2000Deg;
  PrecessFromJ2000(jd, ra, dec);
  SiteView view{};
  view.radiantAltDeg = AltitudeDeg(site, gst, ra, dec);
  const SkyPlace sun = SunPlace(jd);
  view.sunAltDeg = AltitudeDeg(site, gst, sun.raDeg, sun.decDeg);
  const SkyPlace moon = MoonPlace(jd);
  const double geocentric = AltitudeDeg(site, gst, moon.raDeg, moon.decDeg);
  // Parallax in altitude (Meeus ch. 40, to first order): the Moon stands lower by
  // its horizontal parallax times cos h.
  const double parallaxDeg = std::asin(kEarthEquatorialRadiusKm / moon.distanceKm) * kRadToDeg;
  view.moonAltDeg = geocentric - parallaxDeg * CosD(geocentric);
  view.moonIllum = MoonIlluminatedFraction(jd);
  view.hourlyRate =
      HourlyRate(zhr, view.radiantAltDeg, view.sunAltDeg, populationIndex, limitingMagnitude);
  return view;
}

}  // namespace stelvo
