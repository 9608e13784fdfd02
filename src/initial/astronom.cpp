#include "initial/astronom.h"

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

}  // namespace stelvo
