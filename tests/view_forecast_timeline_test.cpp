// The forecast timeline: years across, one row per trail, an encounter's disc at its
// peak's place in the year and in its trail's colour.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "initial/astronom.h"
#include "view/forecast_timeline.h"
#include "view_test_support.h"

namespace stelvo {
namespace {

using test::At;

TrailEncounter Encounter(int trail, int year, int month, int day, int hour, int particles) {
  TrailEncounter e{};
  e.trailYear = trail;
  e.forecastYear = year;
  e.peakJd = JulianDate(year, month, day, hour, 0, 0);
  e.lambdaSun = 235.3;
  e.particles = particles;
  return e;
}

TEST(FractionalYear, CountsTheYearPassedAtTheDate) {
  EXPECT_DOUBLE_EQ(FractionalYear(JulianDate(2000, 1, 1, 0, 0, 0)), 2000.0);
  EXPECT_NEAR(FractionalYear(JulianDate(1999, 7, 2, 12, 0, 0)), 1999.5, 1e-9);
  EXPECT_NEAR(FractionalYear(JulianDate(2001, 12, 31, 23, 59, 0)), 2002.0, 1e-5);
}

class ForecastTimelineTest : public ::testing::Test {
 protected:
  ForecastTimelineTest() { timeline.Resize(900, 300); }
  ForecastTimeline timeline;
  TimelineTexts texts;
};

TEST_F(ForecastTimelineTest, EncountersSitInTheirTrailsRowAtTheirPlaceInTheYear) {
  // The Leonid storms of 1999 (1899 trail), 2000 (1733 trail) and 2001 (1767 trail).
  const std::vector<TrailEncounter> forecast = {Encounter(1899, 1999, 11, 18, 2, 120),
                                                Encounter(1767, 2001, 11, 18, 10, 40),
                                                Encounter(1733, 2000, 11, 18, 8, 5)};
  timeline.Redraw(forecast, texts);
  EXPECT_EQ(timeline.FirstYear(), 1999);
  EXPECT_EQ(timeline.LastYear(), 2001);
  const QRect plot = timeline.PlotArea();
  const QPoint storm = timeline.PixelOf(forecast[0]);
  const QPoint later = timeline.PixelOf(forecast[1]);
  const QPoint oldest = timeline.PixelOf(forecast[2]);
  // Three years across: mid-November 1999 lies 0.88 of the first third.
  EXPECT_NEAR(storm.x(), plot.left() + (0.88 / 3) * (plot.width() - 1), 2);
  EXPECT_GT(later.x(), storm.x());
  EXPECT_GT(oldest.x(), storm.x());
  EXPECT_LT(oldest.x(), later.x());
  EXPECT_NEAR(later.x() - oldest.x(), (plot.width() - 1) / 3.0, 2);  // a year apart
  // Rows by trail year, oldest on top: 1733, 1767, 1899.
  EXPECT_LT(oldest.y(), later.y());
  EXPECT_LT(later.y(), storm.y());
  EXPECT_EQ(At(timeline.Image(), storm.x(), storm.y()), TrailColour(2) | 0xff000000u);
  EXPECT_EQ(At(timeline.Image(), later.x(), later.y()), TrailColour(1) | 0xff000000u);
  EXPECT_EQ(At(timeline.Image(), oldest.x(), oldest.y()), TrailColour(0) | 0xff000000u);
  // More particles, a larger disc: 120 particles fill 5 pixels out, 5 particles not.
  EXPECT_EQ(At(timeline.Image(), storm.x() + 5, storm.y()), TrailColour(2) | 0xff000000u);
  EXPECT_NE(At(timeline.Image(), oldest.x() + 5, oldest.y()), TrailColour(0) | 0xff000000u);
}

TEST_F(ForecastTimelineTest, APixelOnADiscNamesItsEncounterAndThePickedOneIsRinged) {
  const std::vector<TrailEncounter> forecast = {Encounter(1899, 1999, 11, 18, 2, 120),
                                                Encounter(1767, 2001, 11, 18, 10, 40)};
  timeline.Redraw(forecast, texts);
  const QPoint storm = timeline.PixelOf(forecast[0]);
  const QPoint later = timeline.PixelOf(forecast[1]);
  EXPECT_EQ(timeline.EncounterAt(storm), 0);
  EXPECT_EQ(timeline.EncounterAt(storm + QPoint(5, 0)), 0);
  EXPECT_EQ(timeline.EncounterAt(later + QPoint(0, -2)), 1);
  EXPECT_EQ(timeline.EncounterAt((storm + later) / 2), -1);
  // The ring lies above the disc, where the plot was blank before.
  const QPoint ring = later - QPoint(0, int(std::lrint(3 + 2 * std::log10(40.0))) + 4);
  EXPECT_EQ(test::At(timeline.Image(), ring.x(), ring.y()), kChartPlot | 0xff000000u);
  timeline.Redraw(forecast, texts, 1);
  EXPECT_NE(test::At(timeline.Image(), ring.x(), ring.y()), kChartPlot | 0xff000000u);
}

TEST_F(ForecastTimelineTest, NeighbouringTrailsGetDifferentColours) {
  for (int row = 0; row < 10; ++row) EXPECT_NE(TrailColour(row), TrailColour(row + 1));
}

TEST_F(ForecastTimelineTest, NoEncountersLeaveAnEmptyPlot) {
  const std::vector<TrailEncounter> forecast = {Encounter(1899, 1999, 11, 18, 2, 120)};
  timeline.Redraw(forecast, texts);
  timeline.Redraw({}, texts);
  EXPECT_EQ(timeline.FirstYear(), 0);
  EXPECT_EQ(test::CountOf(timeline.Image(), TrailColour(0)), 0);
}

}  // namespace
}  // namespace stelvo
