#include "initial/astronom.h"

#include <gtest/gtest.h>

#include <cmath>

namespace stelvo {
namespace {

// Dates and their Julian dates from Meeus (1998, Astronomical Algorithms, 2nd ed.,
// ch. 7, examples 7.a-7.c and the table of test dates): the day carries its fraction.
struct MeeusDate {
  int year, month;
  double day;
  double jd;
};
constexpr MeeusDate kMeeusDates[] = {
    {2000, 1, 1.5, 2451545.0},    {1999, 1, 1.0, 2451179.5},    {1987, 1, 27.0, 2446822.5},
    {1987, 6, 19.5, 2446966.0},   {1988, 1, 27.0, 2447187.5},   {1988, 6, 19.5, 2447332.0},
    {1957, 10, 4.81, 2436116.31}, {1900, 1, 1.0, 2415020.5},    {1600, 1, 1.0, 2305447.5},
    {1600, 12, 31.0, 2305812.5},  {1582, 10, 15.0, 2299160.5},  {1582, 10, 4.0, 2299159.5},
    {837, 4, 10.3, 2026871.8},    {333, 1, 27.5, 1842713.0},    {-123, 12, 31.0, 1676496.5},
    {-122, 1, 1.0, 1676497.5},    {-584, 5, 28.63, 1507900.13}, {-1000, 7, 12.5, 1356001.0},
    {-1000, 2, 29.0, 1355866.5},  {-1001, 8, 17.9, 1355671.4},  {-4712, 1, 1.5, 0.0},
};

class MeeusDateTest : public testing::TestWithParam<MeeusDate> {};

TEST_P(MeeusDateTest, CalendarAndJulianDateAgreeBothWays) {
  const MeeusDate& d = GetParam();
  const int day = static_cast<int>(d.day);
  EXPECT_NEAR(JulianDate(d.year, d.month, day, (d.day - day) * 24, 0, 0), d.jd, 1e-8);
  const CalendarTime t = CalendarFromJulianDate(d.jd);
  EXPECT_EQ(t.year, d.year);
  EXPECT_EQ(t.month, d.month);
  EXPECT_EQ(t.day, day);
  EXPECT_EQ(t.hour * 60 + t.minute, std::lround((d.day - std::floor(d.day)) * 1440));
}

INSTANTIATE_TEST_SUITE_P(Meeus, MeeusDateTest, testing::ValuesIn(kMeeusDates));

// Every day from -3000 to 2999: the next day in the calendar is one Julian day later,
// and the date converts back to the same Julian date. Catches a wrong leap rule in
// either calendar, a wrong switch, and a step at the blocks of 1000 years.
TEST(Calendar, EveryDayFromMinus3000To2999FollowsTheDayBefore) {
  const double first = JulianDateOfYear(kEarliestYear) + 0.75;
  const double last = JulianDateOfYear(kLatestYear + 1);
  CalendarTime before = CalendarFromJulianDate(first - 1);
  long long days = 0;
  for (double jd = first; jd < last; jd += 1, ++days) {
    const CalendarTime t = CalendarFromJulianDate(jd);
    ASSERT_EQ(t.hour, 18);
    const bool nextDay = t.year == before.year && t.month == before.month &&
                         t.day == before.day + 1;
    const bool nextMonth = t.year == before.year && t.month == before.month + 1 && t.day == 1;
    const bool nextYear = t.year == before.year + 1 && t.month == 1 && before.month == 12 &&
                          t.day == 1 && before.day == 31;
    const bool reform = t.year == 1582 && t.month == 10 && t.day == 15 && before.day == 4;
    ASSERT_TRUE(nextDay || nextMonth || nextYear || reform)
        << t.year << "-" << t.month << "-" << t.day << " after " << before.day;
    ASSERT_EQ(JulianDate(t.year, t.month, t.day, 18, 0, 0), jd);
    before = t;
  }
  // -3000 January 1 (Julian, JD 625307.5) to 3000 January 1 (Gregorian, JD 2816787.5).
  EXPECT_EQ(days, 2191480);
}

TEST(Calendar, TheDecimalYearRunsThroughEachYear) {
  EXPECT_EQ(DecimalYear(JulianDateOfYear(-1000)), -1000.0);
  EXPECT_NEAR(DecimalYear(JulianDate(1999, 7, 2, 12, 0, 0)), 1999.5, 1e-12);
  EXPECT_NEAR(DecimalYear(JulianDateOfYear(2001) - 1e-6), 2001.0, 1e-8);
  EXPECT_NEAR(DecimalYear(JulianDate(0, 7, 2, 0, 0, 0)), 0.5, 1e-12);  // 1 BC, a leap year
}

struct RangeCase {
  const char* text;
  bool valid;
  int from, to;
};
constexpr RangeCase kRanges[] = {
    {"1600..2199", true, 1600, 2199},   {"-1000..1986", true, -1000, 1986},
    {"-3000..2999", true, -3000, 2999}, {"-500..-400", true, -500, -400},
    {"0..0", true, 0, 0},               {"-3001..0", false, 0, 0},
    {"0..3000", false, 0, 0},           {"1999..1998", false, 0, 0},
    {"1999", false, 0, 0},              {"..1999", false, 0, 0},
    {"1999..", false, 0, 0},            {"+5..10", false, 0, 0},
    {"1 ..2", false, 0, 0},             {"1..2x", false, 0, 0},
    {"99999999999..1", false, 0, 0},    {"--5..1", false, 0, 0},
};

class YearRangeTest : public testing::TestWithParam<RangeCase> {};

TEST_P(YearRangeTest, AcceptsAstronomicalYearsWithinTheRange) {
  const RangeCase& c = GetParam();
  const std::optional<YearRange> r = ParseYearRange(c.text);
  ASSERT_EQ(r.has_value(), c.valid);
  if (c.valid) {
    EXPECT_EQ(r->from, c.from);
    EXPECT_EQ(r->to, c.to);
  }
}

INSTANTIATE_TEST_SUITE_P(Texts, YearRangeTest, testing::ValuesIn(kRanges));

}  // namespace
}  // namespace stelvo
