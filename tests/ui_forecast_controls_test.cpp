// The start of a trail forecast or a stream run from a window: its settings, a run to
// the end and handed over (the same bits as stelvo-cli's), a cancel that keeps what
// was shown before, settings the computation refuses, a window closed mid-run.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTranslator>
#include <QVBoxLayout>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "ui/background_task.h"
#include "ui/encounter_panel.h"
#include "ui/forecast_controls.h"
#include "ui/shower_window.h"
#include "ui/stream_controls.h"
#include "view_test_support.h"

namespace stelvo {
namespace {

using Clock = std::chrono::steady_clock;
constexpr int kLeonidComet = 539;
constexpr int kSmallPerTrail = 300;

// The 1999 Leonid storm's trail, few grains: a forecast of a second or two.
void SmallLeonidForecast(ForecastControls& c) {
  c.ComboBox_Comet->setCurrentIndex(kLeonidComet);
  c.Edit_TrailFrom->setValue(1899);
  c.Edit_TrailTo->setValue(1899);
  c.Edit_ForecastFrom->setValue(1999);
  c.Edit_ForecastTo->setValue(1999);
  c.Edit_PerTrail->setValue(kSmallPerTrail);
}

// 55P's returns from 1866 into 2000-2001, few grains: a second. The first runs at the
// far step until 1900.
void SmallLeonidStream(StreamControls& c) {
  c.ComboBox_Comet->setCurrentIndex(kLeonidComet);
  c.Edit_ReleaseFrom->setValue(1866);
  c.Edit_ReleaseTo->setValue(1965);
  c.Edit_ForecastFrom->setValue(2000);
  c.Edit_ForecastTo->setValue(2001);
  c.Edit_PerReturn->setValue(60);
}

// Waits until the running job has reported some progress.
bool Underway(const BackgroundTask& task) {
  return QTest::qWaitFor(
      [&] { return task.CurrentProgress() && task.CurrentProgress()->Read().fraction > 0; }, 60000);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// A window that shows what the controls hand it, as the shower window's view does.
class ForecastControlsTest : public ::testing::Test {
 protected:
  ForecastControlsTest() {
    controls = new ForecastControls(
        [this](std::vector<TrailEncounter> encounters) {
          shown = std::move(encounters);
          ++presented;
        },
        &window);
    (new QVBoxLayout(&window))->addWidget(controls);
    window.resize(1200, 200);
    window.show();
  }

  QWidget window;
  ForecastControls* controls;
  std::vector<TrailEncounter> shown;
  int presented = 0;
};

TEST_F(ForecastControlsTest, StartsWithTheLeonidTrailsAndTheirStormYears) {
  const ForecastSettings s = controls->Settings();
  EXPECT_EQ(s.cometIndex, kLeonidComet);
  EXPECT_TRUE(controls->ComboBox_Comet->currentText().contains(QStringLiteral("55P")));
  EXPECT_EQ(s.trailFrom, 1699);
  EXPECT_EQ(s.trailTo, 1965);
  EXPECT_EQ(s.forecastFrom, 1998);
  EXPECT_EQ(s.forecastTo, 2002);
  EXPECT_EQ(s.perTrail, kDefaultGrainsPerTrail);
  EXPECT_FALSE(controls->Task->isVisible());
}

TEST_F(ForecastControlsTest, ACompletedForecastIsHandedOverWithTheSameBitsAsStelvoCli) {
  ForecastControls& c = *controls;
  SmallLeonidForecast(c);
  QSignalSpy completed(c.Task, &BackgroundTask::Completed);
  c.Button_Forecast->click();
  EXPECT_FALSE(c.Button_Forecast->isEnabled());
  EXPECT_TRUE(c.Task->isVisible());
  ASSERT_TRUE(completed.wait(120000));
  EXPECT_FALSE(c.Task->isVisible());
  EXPECT_TRUE(c.Button_Forecast->isEnabled());
  EXPECT_EQ(presented, 1);
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(shown.front().trailYear, 1899);
  EXPECT_EQ(shown.front().forecastYear, 1999);

  // stelvo-cli with its progress on: the same table to the last digit.
  const std::string csv =
      ::testing::TempDir() + "stelvo-forecast-" + std::to_string(getpid()) + ".csv";
  const std::string command = "STELVO_PROGRESS_THRESHOLD=0 " + std::string(STELVO_CLI) +
                              " --comet 539 --trails 1899..1899 --forecast 1999..1999" +
                              " --per-trail " + std::to_string(kSmallPerTrail) +
                              " --progress --forecast-csv " + csv + " >/dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_EQ(ForecastCsv(shown), ReadFile(csv));
  std::remove(csv.c_str());
}

TEST_F(ForecastControlsTest, CancelKeepsTheForecastShownBefore) {
  ForecastControls& c = *controls;
  c.Edit_PerTrail->setValue(10000);  // the whole default span: minutes of work
  QSignalSpy cancelled(c.Task, &BackgroundTask::Cancelled);
  c.Button_Forecast->click();
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return c.Task->CurrentProgress() && c.Task->CurrentProgress()->Read().fraction > 0; },
      60000));
  window.resize(1300, 250);  // the window stays usable meanwhile
  QTest::qWait(300);
  EXPECT_EQ(window.width(), 1300);
  const auto pressed = Clock::now();
  QTest::mouseClick(c.Task->Button_Cancel, Qt::LeftButton);
  ASSERT_TRUE(cancelled.wait(5000));
  EXPECT_LT(Clock::now() - pressed, std::chrono::seconds(1));
  EXPECT_EQ(presented, 0);
  EXPECT_TRUE(c.Button_Forecast->isEnabled());
  EXPECT_FALSE(c.Task->isVisible());
}

TEST_F(ForecastControlsTest, RefusedSettingsAreShownAndNothingIsHandedOver) {
  ForecastControls& c = *controls;
  c.Edit_TrailFrom->setValue(1900);  // years running backwards
  c.Edit_TrailTo->setValue(1800);
  QSignalSpy failed(c.Task, &BackgroundTask::Failed);
  c.Button_Forecast->click();
  ASSERT_TRUE(failed.wait(10000));
  EXPECT_TRUE(c.Label_Error->isVisible());
  EXPECT_EQ(c.Label_Error->text(), QStringLiteral("The trail years run backwards"));
  EXPECT_EQ(presented, 0);
  EXPECT_TRUE(c.Button_Forecast->isEnabled());
}

TEST_F(ForecastControlsTest, TheControlsFollowTheWindowsLanguage) {
  EXPECT_EQ(controls->Button_Forecast->text(), QStringLiteral("&Vorhersage berechnen"));
  QTranslator english;
  ASSERT_TRUE(english.load(QStringLiteral(":/i18n/stelvo_en.qm")));
  QCoreApplication::installTranslator(&english);
  QCoreApplication::processEvents();
  EXPECT_EQ(controls->Button_Forecast->text(), QStringLiteral("&Compute forecast"));
  EXPECT_EQ(controls->Label_PerTrail->text(), QStringLiteral("Particles per trail"));
  QCoreApplication::removeTranslator(&english);
  QCoreApplication::processEvents();
  EXPECT_EQ(controls->Label_Comet->text(), QStringLiteral("Komet"));
}

TEST(ShowerWindowForecastTest, TheForecastViewStartsAForecastAndShowsItsResult) {
  TForm_Showers window;
  window.Tabs->setCurrentIndex(1);
  window.show();
  ForecastControls& c = *window.Forecast_Controls;
  // The controls, the timeline and the encounter panel share the forecast tab.
  ASSERT_TRUE(window.Tabs->widget(1)->isAncestorOf(&c));
  ASSERT_TRUE(window.Tabs->widget(1)->isAncestorOf(window.Image_Forecast));
  ASSERT_TRUE(window.Tabs->widget(1)->isAncestorOf(window.Panel_Encounter));
  SmallLeonidForecast(c);
  QSignalSpy completed(c.Task, &BackgroundTask::Completed);
  c.Button_Forecast->click();
  EXPECT_TRUE(c.Task->isVisible());
  ASSERT_TRUE(completed.wait(120000));
  ASSERT_FALSE(window.Forecast().empty());
  EXPECT_EQ(window.Forecast().front().trailYear, 1899);
  EXPECT_TRUE(window.ForecastText().contains(QStringLiteral("1999-11-18")));
}

TEST(ShowerWindowForecastTest, CancelLeavesTheForecastShownBeforeInTheView) {
  TForm_Showers window;
  window.Tabs->setCurrentIndex(1);
  window.show();
  const TrailEncounter before{1866, 1966, 2439082.0, 235.16, 0.0001, 42, 153.6, 21.9, 70.7};
  window.SetForecast({before});
  const QString table = window.ForecastText();
  ForecastControls& c = *window.Forecast_Controls;
  c.Edit_PerTrail->setValue(10000);
  QSignalSpy cancelled(c.Task, &BackgroundTask::Cancelled);
  c.Button_Forecast->click();
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return c.Task->CurrentProgress() && c.Task->CurrentProgress()->Read().fraction > 0; },
      60000));
  c.Task->Button_Cancel->click();
  ASSERT_TRUE(cancelled.wait(5000));
  ASSERT_EQ(window.Forecast().size(), 1u);
  EXPECT_EQ(window.Forecast().front().particles, 42);
  EXPECT_EQ(window.ForecastText(), table);
}

class ShowerWindowStreamTest : public ::testing::Test {
 protected:
  ShowerWindowStreamTest() {
    window.Tabs->setCurrentIndex(TForm_Showers::kStreamTab);
    window.show();
  }
  TForm_Showers window;
  StreamControls& c = *window.Stream_Controls;
};

TEST_F(ShowerWindowStreamTest, AStreamRunFillsMapProfileAndTableWithStelvoClisFigures) {
  // One comet for the window: the forecast's choice is the stream's.
  window.Forecast_Controls->ComboBox_Comet->setCurrentIndex(kLeonidComet - 1);
  EXPECT_EQ(c.ComboBox_Comet->currentIndex(), kLeonidComet - 1);
  SmallLeonidStream(c);
  EXPECT_EQ(window.Forecast_Controls->ComboBox_Comet->currentIndex(), kLeonidComet);
  QSignalSpy completed(c.Task, &BackgroundTask::Completed);
  c.Button_Stream->click();
  EXPECT_FALSE(c.Button_Stream->isEnabled());
  ASSERT_TRUE(completed.wait(60000));
  const StreamResult& r = window.Stream();
  ASSERT_EQ(window.Grid_Stream->rowCount(), 1);
  ASSERT_EQ(r.showers.size(), 1u);
  EXPECT_TRUE(window.StreamText().contains(QStringLiteral("11-17")));
  window.CopyTable();  // the table of the tab shown
  EXPECT_EQ(QGuiApplication::clipboard()->text(), window.StreamText());
  EXPECT_TRUE(window.Label_StreamCounts->text().contains(QStringLiteral("235.5")));
  // The shower's bar on the profile, its dots on the map.
  const ActivityProfile& profile = window.StreamProfile();
  const QRect plot = profile.PlotArea();
  EXPECT_NE(test::At(profile.Image(), profile.XOf(r.showers[0].peak.lambda), plot.bottom()),
            kChartPlot);
  const QPoint radiant = window.StreamMap().PixelOf(r.crossings[0].raDeg, r.crossings[0].decDeg);
  EXPECT_NE(test::At(window.StreamMap().Image(), radiant.x(), radiant.y()), kChartSky);

  // stelvo-cli with the same settings: the same captured crossings and peak.
  char activity[160];
  std::snprintf(activity, sizeof activity, "captured %zu\nactivity %.2f %.2f %.4g %.2f\n",
                r.crossings.size(), r.showers[0].shower.lambdaSun, r.showers[0].peak.lambda,
                r.showers[0].peak.rate, r.showers[0].peak.fwhmDeg);
  const std::string out = ::testing::TempDir() + "stelvo-stream-" + std::to_string(getpid());
  const std::string command =
      std::string(STELVO_CLI) + " --comet 539 --stream 1866..1965 --forecast 2000..2001" +
      " --per-trail 60 --far-step 2 | grep -E '^(captured|activity)' > " + out;
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_EQ(ReadFile(out), activity);
  std::remove(out.c_str());
}

TEST_F(ShowerWindowStreamTest, CancelLeavesNoResultAndClosingMidRunReturnsAtOnce) {
  QSignalSpy cancelled(c.Task, &BackgroundTask::Cancelled);
  c.Button_Stream->click();  // the defaults: seconds of work
  ASSERT_TRUE(Underway(*c.Task));
  EXPECT_TRUE(c.Task->Label_Rest->text().startsWith(QStringLiteral("Strom, ")));
  c.Task->Button_Cancel->click();
  ASSERT_TRUE(cancelled.wait(5000));
  EXPECT_TRUE(window.Stream().returns.empty());
  EXPECT_EQ(window.Grid_Stream->rowCount(), 0);
  EXPECT_TRUE(c.Button_Stream->isEnabled());

  auto* closing = new TForm_Showers;
  closing->Stream_Controls->Button_Stream->click();
  ASSERT_TRUE(Underway(*closing->Stream_Controls->Task));
  const auto closed = Clock::now();
  delete closing;
  EXPECT_LT(Clock::now() - closed, std::chrono::seconds(1));
}

struct RefusedStream {
  int releaseFrom, releaseTo, forecastFrom, forecastTo;
  const char* message;
};

class RefusedStreamTest : public ShowerWindowStreamTest,
                          public ::testing::WithParamInterface<RefusedStream> {};

TEST_P(RefusedStreamTest, IsShownAsOneLineAndNothingIsHandedOver) {
  const RefusedStream& p = GetParam();
  c.Edit_ReleaseFrom->setValue(p.releaseFrom);
  c.Edit_ReleaseTo->setValue(p.releaseTo);
  c.Edit_ForecastFrom->setValue(p.forecastFrom);
  c.Edit_ForecastTo->setValue(p.forecastTo);
  QSignalSpy failed(c.Task, &BackgroundTask::Failed);
  c.Button_Stream->click();
  ASSERT_TRUE(failed.wait(10000));
  EXPECT_TRUE(c.Label_Error->isVisible());
  EXPECT_EQ(c.Label_Error->text(), QString::fromUtf8(p.message));
  EXPECT_TRUE(window.Stream().returns.empty());
  EXPECT_TRUE(c.Button_Stream->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    Settings, RefusedStreamTest,
    ::testing::Values(RefusedStream{1970, 1990, 2000, 2001,
                                    "The comet passes no perihelion in the years 1970 to 1990"},
                      RefusedStream{1965, 1932, 2000, 2001, "The release years run backwards"},
                      RefusedStream{2000, 2000, 1990, 1991,
                                    "The releases must begin before the forecast years"}));

}  // namespace
}  // namespace stelvo
