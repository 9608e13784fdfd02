#pragma once
// What an observer at one place on the Earth sees of an encounter: the radiant's,
// the Sun's and the Moon's altitudes, the Moon's lit fraction and the hourly rate to
// expect there. Called by the forecast's site columns (stelvo-cli --site) and the
// window's world map. Instants are Julian dates taken as UT (the forecast's times,
// whose TT - UTC of about a minute is neglected).

namespace stelvo {

// Geographic latitude and longitude in degrees, east positive.
struct Site {
  double latDeg;
  double lonDeg;
};

struct SiteView {
  double radiantAltDeg;
  double sunAltDeg;
  double moonIllum;   // illuminated fraction, 0..1
  double moonAltDeg;  // topocentric (parallax applied)
  double hourlyRate;
};

// Standard observing conditions for the hourly rate: the IMO's ZHR definition and
// zenith exponent gamma = 1 (Rendtel and Arlt, eds., IMO Handbook for Meteor
// Observers, 2008), the ZHR's reference limiting magnitude +6.5 as the default sky.
inline constexpr double kZenithExponent = 1.0;
inline constexpr double kDefaultLimitingMagnitude = 6.5;
// Above this solar altitude (civil twilight) no visual meteors are counted.
inline constexpr double kDaylightSunAltDeg = -6.0;

// Greenwich mean sidereal time in degrees, [0, 360) (Meeus ch. 12, eq. 12.4).
double GreenwichSiderealDeg(double jdUt);

// Right ascension and declination (degrees) from the mean equator and equinox of
// J2000 to those of the date jd (Meeus ch. 21, eqs. 21.2-21.4).
void PrecessFromJ2000(double jd, double& raDeg, double& decDeg);

// Geometric altitude (degrees, no refraction) of a place of date at a site, given the
// Greenwich sidereal time.
double AltitudeDeg(const Site& site, double greenwichSiderealDeg, double raDeg, double decDeg);

// HR = ZHR sin(h)^gamma r^(lm - 6.5) for the radiant's altitude h > 0; 0 with the
// radiant below the horizon or the Sun above kDaylightSunAltDeg.
double HourlyRate(double zhr, double radiantAltDeg, double sunAltDeg, double populationIndex,
                  double limitingMagnitude = kDefaultLimitingMagnitude);

// Everything above at the instant jd (the run's TT) for a radiant given in equatorial J2000.
SiteView ViewFromSite(const Site& site, double jd, double radiantRaJ2000Deg,
                      double radiantDecJ2000Deg, double zhr, double populationIndex,
                      double limitingMagnitude = kDefaultLimitingMagnitude);

}  // namespace stelvo
