#pragma once
// The start of a dust-trail forecast from the shower window: the comet, the years of
// the trails and of the forecast, the particles per trail, and a button that runs
// the forecast off the event loop in a BackgroundTask (with its progress strip). The
// encounters go to `present` (the window's SetForecast) only when the forecast
// completed; a cancel or a failure leaves the forecast shown before.

#include <QWidget>
#include <functional>
#include <vector>

#include "meteors/forecast.h"

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace stelvo {

class BackgroundTask;

class ForecastControls : public QWidget {
  Q_OBJECT

 public:
  using Present = std::function<void(std::vector<TrailEncounter>)>;
  ForecastControls(Present present, QWidget* parent);

  QLabel* Label_Comet;
  QComboBox* ComboBox_Comet;
  QLabel* Label_Trails;
  QSpinBox* Edit_TrailFrom;
  QSpinBox* Edit_TrailTo;
  QLabel* Label_Years;
  QSpinBox* Edit_ForecastFrom;
  QSpinBox* Edit_ForecastTo;
  QLabel* Label_PerTrail;
  QSpinBox* Edit_PerTrail;
  QPushButton* Button_Forecast;
  QLabel* Label_Error;
  BackgroundTask* Task;

  // The forecast that Button_Forecast starts, as the controls stand.
  ForecastSettings Settings() const;
  void Button_ForecastClick();
  void RetranslateUi();

 protected:
  void changeEvent(QEvent* event) override;

 private:
  void SetEditing(bool enabled);

  Present present_;
};

}  // namespace stelvo
