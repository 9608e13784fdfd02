#pragma once
// Where the Sun and the Moon stand, and how much of the Moon is lit, at an instant:
// low-precision theories after Meeus (1998, Astronomical Algorithms, 2nd ed.), good
// to about 0.01 deg for the Sun and a few tenths of a degree for the Moon, plenty for
// judging an observer's sky. Used by meteors/site_sky.h for forecasts and maps, and by
// the trail forecast to find the Earth beside the Earth-Moon barycentre.

#include "meteors/sky_geometry.h"

namespace stelvo {

// Geocentric apparent place in the equator and equinox of date.
struct SkyPlace {
  double raDeg;    // [0, 360)
  double decDeg;
  double distanceKm;
};

// The Sun: mean elements and equation of the centre (Meeus ch. 25, "low accuracy").
SkyPlace SunPlace(double jd);

// The Moon: the largest terms of Meeus's tables 47.A and 47.B (ch. 47), with the
// additive terms and the main nutation term.
SkyPlace MoonPlace(double jd);

// Illuminated fraction of the Moon's disc, k = (1 + cos i) / 2 with the phase angle i
// from the geocentric elongation (Meeus ch. 48, eqs. 48.1-48.3).
double MoonIlluminatedFraction(double jd);

// The Moon's geocentric position (AU) in the run's frame, the ecliptic and mean
// equinox of J2000: the terms above without nutation, turned from the ecliptic of
// date by the rigorous precession of ecliptical coordinates (Meeus ch. 21). jd in TT.
Vec3 MoonGeocentricJ2000Au(double jd);

}  // namespace stelvo
