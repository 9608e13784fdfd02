#pragma once
// The start of a computation from the shower window: RunControls is what every such
// strip shares (the comet, a row of settings ending in a start button, the error line
// and the BackgroundTask that runs the job off the event loop with its progress
// strip); ForecastControls starts a dust-trail forecast with it (the years of the
// trails and of the forecast, the particles per trail), ui/stream_controls.h a
// stream run. A result goes to `present` (the window) only when the job completed;
// a cancel or a failure leaves what was shown before.

#include <QWidget>
#include <functional>
#include <initializer_list>
#include <vector>

#include "meteors/forecast.h"
#include "ui/background_task.h"

class QComboBox;
class QHBoxLayout;
class QVBoxLayout;
class QLabel;
class QPushButton;
class QSpinBox;

namespace stelvo {

class RunControls : public QWidget {
  Q_OBJECT

 public:
  QLabel* Label_Comet;
  QComboBox* ComboBox_Comet;  // 55P/Tempel-Tuttle at first
  QLabel* Label_Error;
  BackgroundTask* Task;

  virtual void RetranslateUi() = 0;

 protected:
  RunControls(QWidget* parent, const char* name);

  QLabel* NewCaption(const char* name);
  // A box of whole numbers from..to holding `value`, e.g. a year.
  QSpinBox* NewNumberBox(const char* name, int from, int to, int value);
  // Adds a caption and its boxes to the row; two boxes are a span, a dash between them.
  void AddToRow(QLabel* caption, std::initializer_list<QWidget*> boxes);
  // Continues the settings on a new row below.
  void BreakRow();
  // Ends the row with the button that calls `start`.
  void AddStartButton(QPushButton* button, std::function<void()> start);
  // Runs `job` under `title`; the settings are locked while it runs.
  void StartJob(const QString& title, BackgroundTask::Job job);

  void changeEvent(QEvent* event) override;

 private:
  void SetEditing(bool enabled);

  QVBoxLayout* column_;
  QHBoxLayout* row_;                // the row being filled
  std::vector<QWidget*> settings_;  // what AddToRow and AddStartButton put in the row
};

class ForecastControls : public RunControls {
  Q_OBJECT

 public:
  using Present = std::function<void(std::vector<TrailEncounter>)>;
  ForecastControls(Present present, QWidget* parent);

  QLabel* Label_Trails;
  QSpinBox* Edit_TrailFrom;
  QSpinBox* Edit_TrailTo;
  QLabel* Label_Years;
  QSpinBox* Edit_ForecastFrom;
  QSpinBox* Edit_ForecastTo;
  QLabel* Label_PerTrail;
  QSpinBox* Edit_PerTrail;
  QPushButton* Button_Forecast;

  // The forecast that Button_Forecast starts, as the controls stand.
  ForecastSettings Settings() const;
  void Button_ForecastClick();
  void RetranslateUi() override;

 private:
  Present present_;
};

}  // namespace stelvo
