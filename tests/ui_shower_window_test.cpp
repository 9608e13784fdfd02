// The meteor shower window: its menu entry, opening it, a run of comet 109P's stream
// filling its table, Stop keeping and Start clearing the results, the copied text,
// the refresh rate, the language.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <cmath>

#include "ui/encounter_panel.h"
#include "ui/shower_window.h"
#include "ui_fixture.h"
#include "view_test_support.h"

namespace stelvo {
namespace {

constexpr int kSwiftTuttle = 533;  // 109P/Swift-Tuttle, parent of the Perseids

class ShowerWindowTest : public testing::WindowFixture {
 protected:
  // A run of 1990 particles spread over 109P's orbit, `years` long at a 5-day step.
  void RunPerseids(double years) {
    form.ComboBox_Kome->setCurrentIndex(kSwiftTuttle);
    Select(form.ComboBox_Part, QStringLiteral("2000"));
    Select(form.ComboBox_Step, QStringLiteral("5"));
    form.Button_StartClick();
    const int passes = static_cast<int>(years * 365.25 / 5);
    for (int i = 0; i < passes; ++i) ASSERT_TRUE(form.RunPass());
    ASSERT_TRUE(errors.empty());
  }
  TForm_Showers& showers() { return *form.Form_Showers; }
  QTableWidget& table() { return *form.Form_Showers->Grid_Showers; }
};

TEST_F(ShowerWindowTest, MenuEntryComesLastWithItsTextInBothLanguages) {
  const QList<QAction*> entries = form.menuBar()->actions();
  ASSERT_EQ(entries.size(), 8);
  const QStringList before = {
      QStringLiteral("&File"), QString(), QStringLiteral("&Language"), QString(),
      QStringLiteral("&Help"), QString(), QStringLiteral("System")};
  for (int i = 0; i < before.size(); ++i) EXPECT_EQ(entries[i]->text(), before[i]) << i;
  EXPECT_EQ(entries[7], form.Showers1);
  EXPECT_EQ(form.Showers1->text(), QStringLiteral("Meteorströme"));
  EXPECT_TRUE(form.Showers1->isEnabled());
  form.SetLanguage(Language::English);
  EXPECT_EQ(form.Showers1->text(), QStringLiteral("Meteor showers"));
  EXPECT_EQ(showers().windowTitle(), QStringLiteral("Meteor showers"));
  form.SetLanguage(Language::German);
  EXPECT_EQ(form.Showers1->text(), QStringLiteral("Meteorströme"));
  EXPECT_EQ(showers().windowTitle(), QStringLiteral("Meteorströme"));
}

TEST_F(ShowerWindowTest, MenuEntryOpensASecondTopLevelWindow) {
  EXPECT_FALSE(showers().isVisible());
  form.Showers1->trigger();
  EXPECT_TRUE(showers().isVisible());
  EXPECT_TRUE(showers().isWindow());
  EXPECT_FALSE(showers().Map().Image().isNull());
  EXPECT_FALSE(showers().Profile().Image().isNull());
  EXPECT_EQ(table().rowCount(), 0);
  // Closing it leaves the program running.
  showers().close();
  EXPECT_FALSE(showers().isVisible());
  EXPECT_EQ(terminations, 0);
}

TEST_F(ShowerWindowTest, RunOfSwiftTuttlesStreamFindsThePerseids) {
  form.Showers1->trigger();
  RunPerseids(6);
  form.Button_StopClick();
  ASSERT_GE(table().rowCount(), 1);
  // The richest shower is the Perseids, in mid-August, radiant in Perseus.
  int best = 0;
  for (int row = 1; row < table().rowCount(); ++row) {
    if (table().item(row, 5)->text().toInt() > table().item(best, 5)->text().toInt()) best = row;
  }
  EXPECT_NEAR(table().item(best, 0)->text().toDouble(), 140.0, 3.0);
  EXPECT_EQ(table().item(best, 1)->text().left(3), QStringLiteral("08-"));
  EXPECT_NEAR(table().item(best, 2)->text().toDouble(), 48.2, 5.0);
  EXPECT_NEAR(table().item(best, 3)->text().toDouble(), 58.1, 5.0);
  EXPECT_NEAR(table().item(best, 4)->text().toDouble(), 59.1, 2.0);
  EXPECT_GE(table().item(best, 5)->text().toInt(), 10);
  // The map shows the radiant in the shower's colour, the profile a bar at its
  // longitude.
  const Shower& perseids = showers().Summary().Showers()[std::size_t(best)];
  const QPoint p = showers().Map().PixelOf(perseids.raDeg, perseids.decDeg);
  const QRgb dotColour = test::At(showers().Map().Image(), p.x(), p.y());
  EXPECT_NE(dotColour, kChartSky);
  EXPECT_LT(
      std::abs(QColor(dotColour).hue() - QColor(SolarLongitudeColour(perseids.lambdaSun)).hue()),
      8);
  EXPECT_GT(showers().Profile().ScaleTop(), 1);
}

TEST_F(ShowerWindowTest, StopKeepsTheResultsAndStartClearsThem) {
  form.Showers1->trigger();
  RunPerseids(3);
  form.Button_StopClick();
  const long long crossings = showers().Summary().CrossingCount();
  const int rows = table().rowCount();
  ASSERT_GT(crossings, 0);
  ASSERT_GT(rows, 0);
  const QImage map = showers().Map().Image().copy();
  QApplication::processEvents();
  EXPECT_EQ(showers().Summary().CrossingCount(), crossings);
  EXPECT_EQ(table().rowCount(), rows);
  EXPECT_EQ(showers().Map().Image(), map);

  form.Button_StartClick();
  EXPECT_EQ(showers().Summary().CrossingCount(), 0);
  EXPECT_EQ(table().rowCount(), 0);
  EXPECT_NE(showers().Map().Image(), map);
  form.Button_StopClick();
}

TEST_F(ShowerWindowTest, CopyGivesATabSeparatedHeaderAndOneLinePerShower) {
  form.Showers1->trigger();
  RunPerseids(3);
  form.Button_StopClick();
  const QString text = showers().TableText();
  const QStringList lines = text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 1 + table().rowCount());
  EXPECT_EQ(lines[0],
            QStringLiteral("λ☉ (°)\tDatum\tRA (°)\tDek (°)\tv_g (km/s)\tAnzahl\tBegegnungen"));
  for (int row = 0; row < table().rowCount(); ++row) {
    const QStringList cells = lines[row + 1].split(QLatin1Char('\t'));
    ASSERT_EQ(cells.size(), 7);
    for (int column = 0; column < 7; ++column) {
      EXPECT_EQ(cells[column], table().item(row, column)->text());
    }
  }
  QGuiApplication::clipboard()->clear();
  showers().Button_Copy->click();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), text);
  QGuiApplication::clipboard()->clear();
  table().setFocus();
  QTest::keyClick(&table(), Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), text);

  form.SetLanguage(Language::English);
  EXPECT_TRUE(showers().TableText().startsWith(
      QStringLiteral("λ☉ (°)\tDate\tRA (°)\tDec (°)\tv_g (km/s)\tCount\tEncounters\n")));
  form.SetLanguage(Language::German);
}

TEST_F(ShowerWindowTest, OpenWindowRefreshesAtMostTenTimesASecond) {
  form.Showers1->trigger();
  form.ComboBox_Kome->setCurrentIndex(kSwiftTuttle);
  form.Button_StartClick();
  const long long before = showers().RefreshCount();
  QElapsedTimer clock;
  clock.start();
  for (int i = 0; i < 400; ++i) ASSERT_TRUE(form.RunPass());
  const long long refreshes = showers().RefreshCount() - before;
  EXPECT_LE(refreshes, clock.elapsed() / 100 + 1);
  form.Button_StopClick();
}

TEST_F(ShowerWindowTest, HiddenWindowStillCollectsAndShowsItAllWhenOpened) {
  RunPerseids(3);
  form.Button_StopClick();
  EXPECT_GT(showers().Summary().CapturedCount(), 0);
  EXPECT_GT(table().rowCount(), 0);
  form.Showers1->trigger();
  const Shower& first = showers().Summary().Showers()[0];
  const QPoint p = showers().Map().PixelOf(first.raDeg, first.decDeg);
  EXPECT_NE(test::At(showers().Map().Image(), p.x(), p.y()), kChartSky);
}

TEST_F(ShowerWindowTest, ForecastViewPresentsTheEncountersHandedToIt) {
  form.Showers1->trigger();
  QTabWidget& tabs = *showers().Tabs;
  ASSERT_EQ(tabs.count(), 3);
  EXPECT_EQ(tabs.tabText(1), QStringLiteral("Vorhersage"));
  EXPECT_EQ(tabs.tabText(2), QStringLiteral("Strom aus allen Wiederkehren"));
  TrailEncounter storm{};
  storm.trailYear = 1899;
  storm.forecastYear = 1999;
  // 1999-11-18 02:04 UTC, 64.184 s earlier than the run's TT.
  storm.peakJd = 2451500.5 + (2 * 60 + 4) / 1440.0 + 64.184 / 86400;
  storm.lambdaSun = 235.2853;
  storm.missAu = -0.00065;
  storm.particles = 120;
  storm.raDeg = 153.6, storm.decDeg = 21.9, storm.vgKmS = 70.9;
  storm.zhr = 3712.4, storm.fwhmMin = 41.6;
  TrailEncounter later = storm;
  later.trailYear = 1767;
  later.forecastYear = 2001;
  later.peakJd += 731 + 8 / 24.0;
  later.missAu = 0.00012;
  later.zhr = 950;
  showers().SetForecast({storm, later});
  QTableWidget& grid = *showers().Grid_Forecast;
  ASSERT_EQ(grid.rowCount(), 2);
  storm.peakSigmaMin = 2.54;
  showers().SetForecast({storm, later});
  const QStringList first = {"1899",  "1999-11-18T02:04", "235.285", "-0.00065", "120", "153.6",
                             "+21.9", "70.9",             "3712",    "42",       "2.5"};
  ASSERT_EQ(grid.columnCount(), first.size());
  for (int column = 0; column < first.size(); ++column) {
    EXPECT_EQ(grid.item(0, column)->text(), first[column]) << column;
  }
  EXPECT_EQ(grid.item(1, 0)->text(), QStringLiteral("1767"));
  EXPECT_EQ(grid.item(1, 3)->text(), QStringLiteral("+0.00012"));
  EXPECT_EQ(showers().Timeline().FirstYear(), 1999);
  EXPECT_EQ(showers().Timeline().LastYear(), 2001);

  const QString text = showers().ForecastText();
  EXPECT_EQ(text.split(QLatin1Char('\n'), Qt::SkipEmptyParts).size(), 3);
  EXPECT_TRUE(text.startsWith(QStringLiteral(
      "Spur\tMaximum (UTC)\tλ☉ (°)\tAbstand (AE)\tTeilchen\tRA (°)\tDek (°)\tv_g (km/s)\tZHR\t"
      "Dauer (min)\t± Maximum (min)\n1899\t1999-11-18T02:04\t")));
  tabs.setCurrentIndex(1);
  QGuiApplication::clipboard()->clear();
  showers().Button_CopyForecast->click();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), text);

  form.SetLanguage(Language::English);
  EXPECT_EQ(tabs.tabText(1), QStringLiteral("Forecast"));
  EXPECT_TRUE(showers().ForecastText().startsWith(
      QStringLiteral("Trail\tPeak (UTC)\tλ☉ (°)\tMiss (AU)\tParticles\t")));
  form.SetLanguage(Language::German);

  // A run of the window leaves the forecast alone; an empty one clears it.
  RunPerseids(0.2);
  form.Button_StopClick();
  EXPECT_EQ(grid.rowCount(), 2);
  showers().SetForecast({});
  EXPECT_EQ(grid.rowCount(), 0);
  EXPECT_EQ(showers().Timeline().FirstYear(), 0);
}

// The Leonid storm of 1999 and a weaker return of 2001, with grains and profiles.
std::vector<TrailEncounter> TwoLeonidEncounters() {
  TrailEncounter storm{};
  storm.trailYear = 1899;
  storm.forecastYear = 1999;
  storm.peakJd = 2451500.5 + (2 * 60 + 8) / 1440.0;
  storm.lambdaSun = 235.285;
  storm.missAu = 0.0009;
  storm.raDeg = 153.6, storm.decDeg = 21.7, storm.vgKmS = 70.7;
  storm.zhr = 3700, storm.zhrSigma = 400, storm.fwhmMin = 40, storm.peakSigmaMin = 2;
  for (int i = -10; i <= 10; ++i) {
    storm.nodes.push_back({storm.peakJd + i / 1440.0, 0.0009 + i * 1e-5, 1});
    storm.profile.push_back({storm.peakJd + 4 * i / 1440.0, 3700 * std::exp(-0.02 * i * i)});
  }
  storm.particles = int(storm.nodes.size());
  TrailEncounter later = storm;
  later.trailYear = 1767;
  later.forecastYear = 2001;
  later.peakJd += 731 + 8 / 24.0;
  later.zhr = 900;
  for (EncounterNode& node : later.nodes) node.earthJd += 731 + 8 / 24.0;
  for (ProfilePoint& point : later.profile) point.jd += 731 + 8 / 24.0, point.zhr /= 4;
  return {later, storm};
}

TEST_F(ShowerWindowTest, TheStrongestEncounterIsShownFirstAndAClickOrARowPicksAnother) {
  form.Showers1->trigger();
  showers().Tabs->setCurrentIndex(1);
  QApplication::processEvents();
  showers().SetForecast(TwoLeonidEncounters());
  const EncounterPanel& panel = *showers().Panel_Encounter;
  // The storm, second in the list, is the strongest: picked, its row selected, its
  // pictures drawn.
  EXPECT_EQ(showers().PickedEncounter(), 1);
  EXPECT_EQ(showers().Grid_Forecast->currentRow(), 1);
  ASSERT_TRUE(panel.Encounter().has_value());
  EXPECT_EQ(panel.Encounter()->trailYear, 1899);
  EXPECT_FALSE(panel.Map().Image().isNull());
  EXPECT_FALSE(panel.Profile().Image().isNull());
  EXPECT_FALSE(panel.World().Image().isNull());
  EXPECT_TRUE(panel.Label_Encounter->text().contains(QStringLiteral("ZHR 3700")));
  const QPoint peak = panel.Map().PixelOf(2451500.5 + (2 * 60 + 8) / 1440.0, 0.0009);
  EXPECT_NE(test::At(panel.Map().Image(), peak.x(), peak.y()), kChartPlot | 0xff000000u);

  // A click on the other disc of the timeline picks the 2001 return.
  const QPoint disc = showers().Timeline().PixelOf(showers().Forecast()[0]);
  QTest::mouseClick(showers().Image_Forecast, Qt::LeftButton, {}, disc);
  EXPECT_EQ(showers().PickedEncounter(), 0);
  EXPECT_EQ(showers().Grid_Forecast->currentRow(), 0);
  EXPECT_EQ(panel.Encounter()->trailYear, 1767);
  // A click beside the discs changes nothing; a row of the table picks its encounter.
  QTest::mouseClick(showers().Image_Forecast, Qt::LeftButton, {},
                    showers().Timeline().PlotArea().topLeft() + QPoint(2, 2));
  EXPECT_EQ(showers().PickedEncounter(), 0);
  showers().Grid_Forecast->setCurrentCell(1, 3);
  EXPECT_EQ(showers().PickedEncounter(), 1);
  EXPECT_EQ(panel.Encounter()->trailYear, 1899);

  // In English, the panel's texts follow.
  form.SetLanguage(Language::English);
  EXPECT_TRUE(panel.Label_Encounter->text().startsWith(QStringLiteral("Trail 1899 in 1999: peak")))
      << panel.Label_Encounter->text().toStdString();
  form.SetLanguage(Language::German);
  EXPECT_TRUE(panel.Label_Encounter->text().startsWith(QStringLiteral("Spur 1899 im Jahr 1999")));
  // An empty forecast leaves nothing picked.
  showers().SetForecast({});
  EXPECT_EQ(showers().PickedEncounter(), -1);
  EXPECT_FALSE(panel.Encounter().has_value());
  EXPECT_TRUE(panel.Map().Image().isNull());
}

}  // namespace
}  // namespace stelvo
