#include "initial/astronom.h"

#include <charconv>
#include <cmath>

namespace stelvo {

double JulianDate(int year, int month, int day, double hour, double minute, double second) {
  // Years before 333 move forward by whole blocks of 1000 Julian years, taken off again
  // at the end, so that the truncations below only ever see positive arguments.
  int blocks = 0;
  while (year < 333) {
    year += 1000;
    ++blocks;
  }
  if (month < 3) {
    year -= 1;
    month += 12;
  }
  int gregorian = 0;
  const double calendarKey = year * 365.25 + month * 30 + day;
  if (calendarKey > 578135.5) {
    const int century = year / 100;
    gregorian = 2 - century + century / 4;
  }
  double jd = static_cast<double>(static_cast<long long>(365.25 * (year + 4716))) +
              static_cast<double>(static_cast<long long>(30.60001 * (month + 1))) + day +
              gregorian - 1524.5;
  jd = jd - blocks * 365250.0;
  return hour / 24 + jd + minute / 1440 + second / 86400;
}

CalendarTime CalendarFromJulianDate(double jd) {
  const double shifted = jd + 0.5;
  double z = std::floor(shifted);
  long long minutes = std::llround((shifted - z) * 1440.0);
  if (minutes >= 1440) {
    minutes -= 1440;
    z += 1;
  }
  // From JD 2299161 (1582 October 15) the Gregorian days dropped from the count.
  double a = z;
  if (z >= 2299161) {
    const double alpha = std::floor((z - 1867216.25) / 36524.25);
    a = z + 1 + alpha - std::floor(alpha / 4);
  }
  const double b = a + 1524;
  const double c = std::floor((b - 122.1) / 365.25);
  const double d = std::floor(365.25 * c);
  const double e = std::floor((b - d) / 30.6001);
  CalendarTime t{};
  t.day = static_cast<int>(b - d - std::floor(30.6001 * e));
  t.month = static_cast<int>(e < 14 ? e - 1 : e - 13);
  t.year = static_cast<int>(t.month > 2 ? c - 4716 : c - 4715);
  t.hour = static_cast<int>(minutes / 60);
  t.minute = static_cast<int>(minutes % 60);
  return t;
}

double JulianDateOfYear(int year) { return JulianDate(year, 1, 1, 0, 0, 0); }

double DecimalYear(double jd) {
  int year = CalendarFromJulianDate(jd).year;
  double start = JulianDateOfYear(year);
  // The calendar rounds to the minute: the last half minute of a year counts in the next.
  if (jd < start) start = JulianDateOfYear(--year);
  const double next = JulianDateOfYear(year + 1);
  return year + (jd - start) / (next - start);
}

namespace {

bool ParseYear(std::string_view text, int& year) {
  if (text.empty()) return false;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, year);
  return ec == std::errc() && ptr == end && year >= kEarliestYear && year <= kLatestYear;
}

}  // namespace

std::optional<YearRange> ParseYearRange(std::string_view text) {
  const std::size_t dots = text.find("..");
  YearRange r{};
  if (dots == std::string_view::npos || !ParseYear(text.substr(0, dots), r.from) ||
      !ParseYear(text.substr(dots + 2), r.to) || r.from > r.to) {
    return std::nullopt;
  }
  return r;
}

}  // namespace stelvo
