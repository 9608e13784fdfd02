#pragma once
// The sky geometry of meteor showers: the turn from the run's ecliptic frame (J2000)
// to equatorial J2000, the radiant and speed of a geocentric velocity, solar
// longitude, and dates. Pure functions; used by the crossing detector, the shower
// summary, the shower window and the trails. Calendar dates and printed times are
// initial/astronom.h and initial/time_scale.h.

#include <array>
#include <string>

#include "initial/astronom.h"
#include "initial/time_scale.h"

namespace stelvo {

inline constexpr double kObliquityJ2000Deg = 23.4392911;  // IAU 1976 value at J2000
inline constexpr double kAuKm = 149597870.7;              // IAU 2012 Resolution B2
inline constexpr double kDaySeconds = 86400;
inline constexpr double kRadToDeg = 57.29577951308232;  // 180 / pi
// AU per day to km per second.
inline constexpr double kAuPerDayToKmS = kAuKm / kDaySeconds;

struct Vec3 {
  double x, y, z;
};

// Ecliptic J2000 to equatorial J2000: a turn about the x axis (the equinox) by the
// obliquity.
Vec3 EclipticToEquatorial(const Vec3& ecliptic);

struct Radiant {
  double raDeg;   // right ascension, [0, 360)
  double decDeg;  // declination, [-90, 90]
  double vgKmS;   // geocentric speed, km/s
};

// The radiant of a meteoroid with geocentric velocity vg (AU/day, ecliptic J2000):
// the direction it comes from, opposite to vg, in equatorial J2000. The Earth's own
// attraction (zenith attraction) is not applied: this is the geocentric radiant as
// shower lists give it. A zero velocity gives RA 0, Dec 0.
Radiant RadiantFromGeocentricVelocity(const Vec3& vgAuPerDay);

// Angle in degrees brought into [0, 360).
double WrapDegrees(double deg);

// Smallest difference a - b of two angles in degrees, in [-180, 180).
double DegreesBetween(double a, double b);

// Angle in degrees between two sky directions given by RA and Dec in degrees.
double AngularSeparationDeg(double ra1Deg, double dec1Deg, double ra2Deg, double dec2Deg);

// Solar longitude at which the Earth passes a point with this heliocentric
// ecliptic position: the Sun is then seen in the opposite direction, so
// lambda_sun = heliocentric longitude of the point + 180 degrees, in [0, 360).
double SolarLongitudeDeg(const Vec3& heliocentric);

// Julian date at which the Sun's geocentric longitude, in the J2000 ecliptic,
// reaches lambdaSunDeg in the given Gregorian year (the instant within that year,
// 0h January 1 to 0h January 1 of the next). From the Astronomical Almanac's
// low-precision solar coordinates (U.S. Naval Observatory, Astronomical Almanac,
// section C, good to 0.01 degree 1950-2050) with the precession of the equinox
// removed; accurate to a few minutes of time over several centuries around 2000.
double JulianDateOfSolarLongitude(double lambdaSunDeg, int year);

// "MM-DD" of the day on which the Sun reaches lambdaSunDeg in that year.
void MonthDayOfSolarLongitude(double lambdaSunDeg, int year, std::array<char, 6>& out);

// The Sun's geometric geocentric longitude in the J2000 ecliptic at a Julian date,
// degrees (low precision: precession and aberration removed).
double SunLongitudeJ2000Deg(double jd);

}  // namespace stelvo
