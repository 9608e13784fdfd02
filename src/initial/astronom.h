#pragma once
// Calendar dates and Julian dates, both ways, for astronomical years -3000 to 2999
// (the small astronomy unit). Used by the catalogue parser for perihelion dates, by
// the time scales for printed times and by everything that names a year; pure, no
// state.

#include <optional>
#include <string_view>

namespace stelvo {

// Astronomical years: year 0 is 1 BC, year -1 is 2 BC. Runs, trails, forecasts and
// passages may lie in these years.
inline constexpr int kEarliestYear = -3000;
inline constexpr int kLatestYear = 2999;

// Dates up to 1582 October 10 count as Julian, later ones as Gregorian. Day may be
// 0 and Hour, Minute, Second may hold any amount (the catalogue passes the whole
// day with its fraction as hours of day 0). Valid for any year from -4712 on.
double JulianDate(int year, int month, int day, double hour, double minute, double second);

struct CalendarTime {
  int year, month, day, hour, minute;
};

// Julian date to calendar date and time, rounded to the nearest minute: the Julian
// calendar before 1582 October 15 (JD 2299160.5), the Gregorian one from then on
// (Meeus 1998, Astronomical Algorithms, 2nd ed., ch. 7). Valid for jd >= 0, the
// year -4712 on.
CalendarTime CalendarFromJulianDate(double jd);

// 0h of January 1 of the year, in that year's calendar.
double JulianDateOfYear(int year);

// The year with its fraction: year + (jd - start of year) / length of year, in the
// calendar of the date (continuous, no step at month ends).
double DecimalYear(double jd);

struct YearRange {
  int from, to;
};

// "FROM..TO", whole astronomical years within kEarliestYear..kLatestYear, FROM <= TO;
// either may be negative ("-1000..1986", "-500..-400"). Nothing else is accepted.
std::optional<YearRange> ParseYearRange(std::string_view text);

}  // namespace stelvo
