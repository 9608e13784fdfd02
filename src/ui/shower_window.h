#pragma once
// Form_Showers: the second window, opened from the main window's "Meteorströme" menu.
// It owns the shower watch of the window's runs (meteors/shower_watch.h), which the
// main window feeds after every step, and shows the radiant map, the activity
// profile and the table of showers found, refreshed at most ten times a second.
// A run's results stay after Stop and are cleared by the next Start. A second tab
// presents a dust-trail forecast handed to it (SetForecast): a timeline of the
// encounters by trail and their table; its controls compute one off the event loop.
// The encounter picked in the table or on the timeline (at first the strongest) is
// shown below them in pictures (ui/encounter_panel.h). A third tab starts a stream
// run (meteors/stream.h: grains of every return of the comet) with its own controls
// and shows its result as the first tab shows a run's: radiant map, activity profile
// (rates, with each shower's peak and width) and table. Both computing tabs use one
// comet, the window's.

#include <QElapsedTimer>
#include <QImage>
#include <QString>
#include <QWidget>
#include <functional>
#include <vector>

#include "core/run_state.h"
#include "meteors/forecast.h"
#include "meteors/shower_watch.h"
#include "meteors/stream.h"
#include "view/activity_profile.h"
#include "view/forecast_timeline.h"
#include "view/radiant_map.h"

class QLabel;
class QPushButton;
class QTabWidget;
class QTableWidget;

namespace stelvo {

class ChartView;
class EncounterPanel;
class ForecastControls;
class StreamControls;

class TForm_Showers : public QWidget {
  Q_OBJECT

 public:
  // A top-level window; hidden until the main window's menu shows it.
  TForm_Showers();
  ~TForm_Showers() override;

  QTabWidget* Tabs;
  ChartView* Image_Radiants;
  ChartView* Image_Activity;
  QLabel* Label_Counts;
  QTableWidget* Grid_Showers;
  QPushButton* Button_Copy;
  ChartView* Image_Forecast;
  QTableWidget* Grid_Forecast;
  QPushButton* Button_CopyForecast;
  ForecastControls* Forecast_Controls;  // starts a forecast, shows its progress
  EncounterPanel* Panel_Encounter;       // the picked encounter's pictures
  StreamControls* Stream_Controls;       // starts a stream run, shows its progress
  ChartView* Image_StreamRadiants;
  ChartView* Image_StreamActivity;
  QLabel* Label_StreamCounts;  // the run's returns and crossings, each shower's peak
  QTableWidget* Grid_Stream;
  QPushButton* Button_CopyStream;

  // The tabs, in their order.
  enum Tab { kShowersTab, kForecastTab, kStreamTab };

  // --- driven by the main window's run
  // Forgets the last run's results; call at every Start.
  void BeginRun();
  // Looks for node crossings in the step just taken (before its history shift),
  // adds them to the summary and refreshes the pictures if one is due; the scan
  // runs on the given threads (the run's).
  void AfterStep(const RunState& state, WorkerPool& pool = WorkerPool::Serial());
  // Shows the run's final results.
  void EndRun();

  // Draws the pictures and fills the table from the summary now.
  void Refresh();
  // Shows a forecast's encounters (in the order given) in the forecast view,
  // replacing the one shown before; an empty vector clears the view.
  void SetForecast(std::vector<TrailEncounter> encounters);
  const std::vector<TrailEncounter>& Forecast() const { return forecast_; }
  const ForecastTimeline& Timeline() const { return timeline_; }
  // Shows encounter number `index` of the forecast in the panel, selects its row
  // and rings its disc; -1 (or a number out of range) picks none.
  void PickEncounter(int index);
  int PickedEncounter() const { return picked_; }

  // Shows a stream run's result, made with `settings`, in the stream view, replacing
  // the one shown before.
  void SetStream(const StreamSettings& settings, StreamResult result);
  const StreamResult& Stream() const { return stream_; }

  // The table of showers as plain text: a header line and one line per shower,
  // tab-separated.
  QString TableText() const;
  // The forecast table and the stream's the same way.
  QString ForecastText() const;
  QString StreamText() const;
  // Puts the table of the tab shown on the clipboard (the Copy buttons and Ctrl+C).
  void CopyTable();
  void RetranslateUi();

  const ShowerSummary& Summary() const { return watch_.Summary(); }
  CrossingDetector& Detector() { return watch_.Detector(); }
  const RadiantMap& Map() const { return map_; }
  const ActivityProfile& Profile() const { return profile_; }
  const RadiantMap& StreamMap() const { return streamMap_; }
  const ActivityProfile& StreamProfile() const { return streamProfile_; }
  // How many refreshes drew the pictures; for tests of the refresh rate.
  long long RefreshCount() const { return refreshCount_; }

 protected:
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The second tab: controls, timeline and table, the encounter panel.
  void BuildForecastPage();
  // The third tab: controls above the stream's map, profile and table.
  void BuildStreamPage();
  // The map above the counts, the profile beside the table and its Copy button: the
  // first tab's arrangement, which the stream's tab shares.
  void LayOutShowerViews(QWidget* page, QLayout* above, ChartView* map, QLabel* counts,
                         ChartView* profile, QTableWidget* grid, QPushButton* copy);
  QPushButton* NewCopyButton(QWidget* page, const char* name);
  void DrawStreamMap();
  void DrawStreamProfile();
  void FillStreamTable();
  void ResizeMap();
  void ResizeProfile();
  void DrawTimeline();
  void FillForecastTable();
  void FillTable();
  ChartTexts Texts() const;

  ShowerWatch watch_;
  StreamSettings streamSettings_;
  StreamResult stream_;
  std::vector<Shower> streamShowers_;  // stream_'s showers, for the map and the table
  RadiantMap streamMap_;
  ActivityProfile streamProfile_;
  RadiantMap map_;
  ActivityProfile profile_;
  ForecastTimeline timeline_;
  std::vector<TrailEncounter> forecast_;
  int picked_ = -1;  // the encounter in the panel
  long long drawnCrossings_ = 0;  // crossings whose dots the map already holds
  long long refreshCount_ = 0;
  QElapsedTimer sinceRefresh_;
};

// Shows one picture, the newest state of an image drawn elsewhere; tells its owner
// when its size changes so that the picture is drawn anew for it.
class ChartView : public QWidget {
 public:
  ChartView(const QImage& image, std::function<void()> resized, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  const QImage& image_;
  std::function<void()> resized_;
};

}  // namespace stelvo
