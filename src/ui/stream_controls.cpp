#include "ui/stream_controls.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include "core/run_state.h"
#include "core/worker_pool.h"
#include "initial/astronom.h"

namespace stelvo {

namespace {
// 55P's returns 1800-1965 into the Leonids of 2000-2009, few grains: a first run of
// seconds. The far step of 2 days is the one the stream's step comparison (README,
// "The established shower from the whole stream") keeps inside the shower widths.
constexpr int kStartReleaseFrom = 1800, kStartReleaseTo = 1965;
constexpr int kStartForecastFrom = 2000, kStartForecastTo = 2009;
constexpr int kStartPerReturn = 300;
constexpr double kStartFarStepDays = 2;
constexpr double kLongestStepDays = 10;  // what RunStream accepts
}  // namespace

StreamControls::StreamControls(Present present, QWidget* parent)
    : RunControls(parent, "StreamControls"), present_(std::move(present)) {
  Label_Releases = NewCaption("Label_Releases");
  Edit_ReleaseFrom =
      NewNumberBox("Edit_ReleaseFrom", kEarliestYear, kLatestYear, kStartReleaseFrom);
  Edit_ReleaseTo = NewNumberBox("Edit_ReleaseTo", kEarliestYear, kLatestYear, kStartReleaseTo);
  Label_Years = NewCaption("Label_Years");
  Edit_ForecastFrom =
      NewNumberBox("Edit_ForecastFrom", kEarliestYear, kLatestYear, kStartForecastFrom);
  Edit_ForecastTo = NewNumberBox("Edit_ForecastTo", kEarliestYear, kLatestYear, kStartForecastTo);
  Label_PerReturn = NewCaption("Label_PerReturn");
  Edit_PerReturn = NewNumberBox("Edit_PerReturn", 1, kMaxParticles, kStartPerReturn);
  Label_FarStep = NewCaption("Label_FarStep");
  Edit_FarStep = new QDoubleSpinBox(this);
  Edit_FarStep->setObjectName(QStringLiteral("Edit_FarStep"));
  Edit_FarStep->setRange(0.1, kLongestStepDays);
  Edit_FarStep->setDecimals(1);
  Edit_FarStep->setSingleStep(0.5);
  Edit_FarStep->setValue(kStartFarStepDays);
  Button_Stream = new QPushButton(this);
  Button_Stream->setObjectName(QStringLiteral("Button_Stream"));
  AddToRow(Label_Releases, {Edit_ReleaseFrom, Edit_ReleaseTo});
  AddToRow(Label_Years, {Edit_ForecastFrom, Edit_ForecastTo});
  BreakRow();
  AddToRow(Label_PerReturn, {Edit_PerReturn});
  AddToRow(Label_FarStep, {Edit_FarStep});
  AddStartButton(Button_Stream, [this] { Button_StreamClick(); });
  RetranslateUi();
}

StreamSettings StreamControls::Settings() const {
  StreamSettings s;
  s.cometIndex = ComboBox_Comet->currentIndex();
  s.releaseFrom = Edit_ReleaseFrom->value();
  s.releaseTo = Edit_ReleaseTo->value();
  s.forecastFrom = Edit_ForecastFrom->value();
  s.forecastTo = Edit_ForecastTo->value();
  s.perReturn = Edit_PerReturn->value();
  s.farStepDays = Edit_FarStep->value();
  s.threads = WorkerPool::AllCores();
  WeighByVisibleMeteoroids(s);
  return s;
}

void StreamControls::Button_StreamClick() {
  const StreamSettings settings = Settings();
  // The job sees only its copy of the settings and hands its result over at the end.
  StartJob(tr("Strom"),
           [settings, present = present_](Progress& progress) -> BackgroundTask::Apply {
             progress.BeginStage("stream", 0, 1);
             StreamResult result = RunStream(settings, ReportInto(progress, settings));
             if (result.cancelled) throw RunCancelled();
             return [present, settings, result = std::move(result)]() mutable {
               present(settings, std::move(result));
             };
           });
}

void StreamControls::RetranslateUi() {
  Label_Comet->setText(tr("Komet"));
  Label_Releases->setText(tr("Freisetzung in den Jahren"));
  Label_Years->setText(tr("Strom in den Jahren"));
  Label_PerReturn->setText(tr("Teilchen je Wiederkehr"));
  Label_FarStep->setText(tr("Fernschritt (Tage)"));
  const QString farStep = tr("Schrittweite bis %1 Jahre vor den Jahren des Stroms; danach %2 Tag")
                              .arg(StreamSettings{}.nearYears)
                              .arg(StreamSettings{}.stepDays);
  Label_FarStep->setToolTip(farStep);
  Edit_FarStep->setToolTip(farStep);
  Button_Stream->setText(tr("&Strom berechnen"));
}

}  // namespace stelvo
