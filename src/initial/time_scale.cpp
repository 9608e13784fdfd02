#include "initial/time_scale.h"

#include <cmath>
#include <cstdio>

#include "initial/astronom.h"

namespace stelvo {

namespace {

constexpr double kDaySeconds = 86400;
// TT - TAI, exact by definition (IAU 1991 Resolution A4).
constexpr double kTTMinusTaiSeconds = 32.184;

// Delta T, Espenak and Meeus (2006), in seconds of the decimal year y.
double DeltaTOfYear(double y) {
  auto longTerm = [](double year) {
    const double u = (year - 1820) / 100;
    return -20 + 32 * u * u;
  };
  if (y < -500) return longTerm(y);
  if (y < 500) {
    const double u = y / 100;
    return 10583.6 +
           u * (-1014.41 +
                u * (33.78311 +
                     u * (-5.952053 + u * (-0.1798452 + u * (0.022174192 + u * 0.0090316521)))));
  }
  if (y < 1600) {
    const double u = (y - 1000) / 100;
    return 1574.2 +
           u * (-556.01 +
                u * (71.23472 +
                     u * (0.319781 + u * (-0.8503463 + u * (-0.005050998 + u * 0.0083572073)))));
  }
  if (y < 1700) {
    const double t = y - 1600;
    return 120 + t * (-0.9808 + t * (-0.01532 + t / 7129));
  }
  if (y < 1800) {
    const double t = y - 1700;
    return 8.83 + t * (0.1603 + t * (-0.0059285 + t * (0.00013336 - t / 1174000)));
  }
  if (y < 1860) {
    const double t = y - 1800;
    return 13.72 +
           t * (-0.332447 +
                t * (0.0068612 +
                     t * (0.0041116 +
                          t * (-0.00037436 +
                               t * (0.0000121272 + t * (-0.0000001699 + t * 0.000000000875))))));
  }
  if (y < 1900) {
    const double t = y - 1860;
    return 7.62 +
           t * (0.5737 + t * (-0.251754 + t * (0.01680668 + t * (-0.0004473624 + t / 233174))));
  }
  if (y < 1920) {
    const double t = y - 1900;
    return -2.79 + t * (1.494119 + t * (-0.0598939 + t * (0.0061966 - t * 0.000197)));
  }
  if (y < 1941) {
    const double t = y - 1920;
    return 21.20 + t * (0.84493 + t * (-0.076100 + t * 0.0020936));
  }
  if (y < 1961) {
    const double t = y - 1950;
    return 29.07 + t * (0.407 + t * (-1 / 233.0 + t / 2547));
  }
  if (y < 1986) {
    const double t = y - 1975;
    return 45.45 + t * (1.067 + t * (-1 / 260.0 - t / 718));
  }
  if (y < 2005) {
    const double t = y - 2000;
    return 63.86 +
           t * (0.3345 +
                t * (-0.060374 + t * (0.0017275 + t * (0.000651814 + t * 0.00002373599))));
  }
  if (y < 2050) {
    const double t = y - 2000;
    return 62.92 + t * (0.32217 + t * 0.005589);
  }
  if (y < 2150) return longTerm(y) - 0.5628 * (2150 - y);
  return longTerm(y);
}

// The dates (modified Julian date of 0h UTC) from which TAI - UTC took each value;
// IERS Bulletin C and the IERS leap-seconds.list. 1972 January 1: 10 s.
struct LeapStep {
  double mjd;
  int taiMinusUtc;
};
constexpr LeapStep kLeapSteps[] = {
    {41317, 10},  // 1972 Jan 1
    {41499, 11},  // 1972 Jul 1
    {41683, 12},  // 1973 Jan 1
    {42048, 13},  // 1974 Jan 1
    {42413, 14},  // 1975 Jan 1
    {42778, 15},  // 1976 Jan 1
    {43144, 16},  // 1977 Jan 1
    {43509, 17},  // 1978 Jan 1
    {43874, 18},  // 1979 Jan 1
    {44239, 19},  // 1980 Jan 1
    {44786, 20},  // 1981 Jul 1
    {45151, 21},  // 1982 Jul 1
    {45516, 22},  // 1983 Jul 1
    {46247, 23},  // 1985 Jul 1
    {47161, 24},  // 1988 Jan 1
    {47892, 25},  // 1990 Jan 1
    {48257, 26},  // 1991 Jan 1
    {48804, 27},  // 1992 Jul 1
    {49169, 28},  // 1993 Jul 1
    {49534, 29},  // 1994 Jul 1
    {50083, 30},  // 1996 Jan 1
    {50630, 31},  // 1997 Jul 1
    {51179, 32},  // 1999 Jan 1
    {53736, 33},  // 2006 Jan 1
    {54832, 34},  // 2009 Jan 1
    {56109, 35},  // 2012 Jul 1
    {57204, 36},  // 2015 Jul 1
    {57754, 37},  // 2017 Jan 1
};
constexpr double kMjdOffset = 2400000.5;

double UtcStartJD(const LeapStep& s) { return s.mjd + kMjdOffset; }

// The TT instant at which a step of TAI - UTC begins.
double StepStartTT(const LeapStep& s) {
  return UtcStartJD(s) + (kTTMinusTaiSeconds + s.taiMinusUtc) / kDaySeconds;
}

void Format(const CalendarTime& t, TimeText& out) {
  // ISO 8601's expanded form for years before year 0 (1 BC): "-1000-07-12T11:02". The
  // remainders only tell the compiler the widths; a calendar date is within them.
  const unsigned year = static_cast<unsigned>(t.year < 0 ? -t.year : t.year) % 10000;
  std::snprintf(out.data(), out.size(), "%s%04u-%02u-%02uT%02u:%02u", t.year < 0 ? "-" : "", year,
                static_cast<unsigned>(t.month) % 100, static_cast<unsigned>(t.day) % 100,
                static_cast<unsigned>(t.hour) % 100, static_cast<unsigned>(t.minute) % 100);
}

}  // namespace

double DeltaTSeconds(double jdTT) { return DeltaTOfYear(DecimalYear(jdTT)); }

int TaiMinusUtcSeconds(double jdUtc) {
  int value = kLeapSteps[0].taiMinusUtc;
  for (const LeapStep& s : kLeapSteps) {
    if (jdUtc >= UtcStartJD(s)) value = s.taiMinusUtc;
  }
  return value;
}

double UniversalFromTerrestrial(double jdTT) {
  if (jdTT < StepStartTT(kLeapSteps[0])) return jdTT - DeltaTSeconds(jdTT) / kDaySeconds;
  int taiMinusUtc = kLeapSteps[0].taiMinusUtc;
  for (const LeapStep& s : kLeapSteps) {
    if (jdTT >= StepStartTT(s)) taiMinusUtc = s.taiMinusUtc;
  }
  return jdTT - (kTTMinusTaiSeconds + taiMinusUtc) / kDaySeconds;
}

void FormatUtc(double jdTT, TimeText& out) {
  Format(CalendarFromJulianDate(UniversalFromTerrestrial(jdTT)), out);
}

std::string FormatUtc(double jdTT) {
  TimeText text{};
  FormatUtc(jdTT, text);
  return text.data();
}

void FormatCalendar(double jd, TimeText& out) {
  Format(CalendarFromJulianDate(jd), out);
}

std::string FormatCalendar(double jd) {
  TimeText text{};
  FormatCalendar(jd, text);
  return text.data();
}

}  // namespace stelvo
