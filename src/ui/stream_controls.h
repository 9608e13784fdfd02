#pragma once
// The start of a stream run (meteors/stream.h) from the shower window: the comet
// (RunControls'), the years of the releasing perihelion passages and of the forecast,
// the grains per return and the far step. The defaults, 55P's six returns 1800-1965
// with 300 grains each to 2000-2009, finish in seconds. The result goes to `present`
// (the window's SetStream) only when the run completed.

#include <functional>

#include "meteors/stream.h"
#include "ui/forecast_controls.h"

class QDoubleSpinBox;

namespace stelvo {

class StreamControls : public RunControls {
  Q_OBJECT

 public:
  using Present = std::function<void(const StreamSettings&, StreamResult)>;
  StreamControls(Present present, QWidget* parent);

  QLabel* Label_Releases;
  QSpinBox* Edit_ReleaseFrom;
  QSpinBox* Edit_ReleaseTo;
  QLabel* Label_Years;
  QSpinBox* Edit_ForecastFrom;
  QSpinBox* Edit_ForecastTo;
  QLabel* Label_PerReturn;
  QSpinBox* Edit_PerReturn;
  QLabel* Label_FarStep;
  QDoubleSpinBox* Edit_FarStep;  // days
  QPushButton* Button_Stream;

  // The run that Button_Stream starts, as the controls stand.
  StreamSettings Settings() const;
  void Button_StreamClick();
  void RetranslateUi() override;

 private:
  Present present_;
};

}  // namespace stelvo
