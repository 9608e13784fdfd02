#pragma once
// The run's time scale and the clock times it is printed in. A run counts Terrestrial
// Time (TT, the dynamical time of the planetary table and of published comet orbits);
// people record events in Universal Time. Every printed date and time of an instant
// goes through FormatUtc here; pure functions.

#include <array>
#include <string>

namespace stelvo {

// Delta T = TT - UT1 in seconds at the instant jdTT, from the polynomial expressions of
// Espenak and Meeus (2006, Five Millennium Canon of Solar Eclipses: -1999 to +3000,
// NASA TP-2006-214141, section 2.6; listed at eclipse.gsfc.nasa.gov/SEcat5/deltatpoly.html),
// with the long-term parabola -20 + 32 u^2 before -500 and after 2150, which is how the
// canon carries it to -3000. The polynomials' decimal year is taken continuously
// (DecimalYear) rather than at mid-month.
double DeltaTSeconds(double jdTT);

// TAI - UTC in whole seconds at the UTC instant jdUtc from 1972 January 1 on: 10 s then,
// one more at each leap second of the IERS (Bulletin C; leap-seconds.list), 37 s since
// 2017 January 1. Later instants keep 37 s: no leap second has been announced since.
int TaiMinusUtcSeconds(double jdUtc);

// The universal time of a TT instant: UT1 = TT - Delta T before 1972 January 1, UTC =
// TT - 32.184 s - (TAI - UTC) from then on (42.18 s in 1972, 64.18 s in 2000, 69.18 s
// since 2017). The two meet within 0.1 s at 1972.
double UniversalFromTerrestrial(double jdTT);

// Room for "-YYYY-MM-DDTHH:MM" and its terminating zero.
using TimeText = std::array<char, 18>;

// "YYYY-MM-DDTHH:MM", the universal time of the TT instant jdTT to the nearest minute,
// in the Julian calendar before 1582 October 15 and the Gregorian one after; the year
// may be negative ("-1000-07-12T11:02"). UT before 1972, UTC after.
std::string FormatUtc(double jdTT);
// The same into a fixed buffer, for callers that must not allocate.
void FormatUtc(double jdTT, TimeText& out);

// "YYYY-MM-DDTHH:MM" of the Julian date itself, no change of time scale: for dates
// given in TT, such as perihelion times.
void FormatCalendar(double jd, TimeText& out);
std::string FormatCalendar(double jd);

}  // namespace stelvo
