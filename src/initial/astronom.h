#pragma once
// Calendar date and time of day to Julian date (the small astronomy unit).
// Used by the catalogue parser for perihelion dates; pure, no state.

namespace stelvo {

// Dates up to 1582 October 10 count as Julian, later ones as Gregorian. Day may be
// 0 and Hour, Minute, Second may hold any amount (the catalogue passes the whole
// day with its fraction as hours of day 0).
double JulianDate(int year, int month, int day, double hour, double minute, double second);

}  // namespace stelvo
