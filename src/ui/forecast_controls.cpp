#include "ui/forecast_controls.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "core/progress.h"
#include "core/worker_pool.h"
#include "data/comet_catalogue.h"
#include "initial/catalogue.h"
#include "meteors/forecast.h"
#include "ui/background_task.h"

namespace stelvo {

namespace {
// 55P/Tempel-Tuttle, the Leonids' comet, and its trails that gave the storms of
// 1999-2002; a thousand grains a trail make a forecast of some tens of seconds.
constexpr int kLeonidComet = 539;
constexpr int kStartTrailFrom = 1699, kStartTrailTo = 1965;
constexpr int kStartForecastFrom = 1998, kStartForecastTo = 2002;
constexpr int kStartPerTrail = 1000;

QSpinBox* YearBox(QWidget* parent, const char* name, int year) {
  auto* box = new QSpinBox(parent);
  box->setObjectName(QLatin1String(name));
  box->setRange(kFirstForecastYear, kLastForecastYear);
  box->setValue(year);
  return box;
}

QLabel* Caption(QWidget* parent, const char* name) {
  auto* label = new QLabel(parent);
  label->setObjectName(QLatin1String(name));
  return label;
}
}  // namespace

ForecastControls::ForecastControls(Present present, QWidget* parent)
    : QWidget(parent), present_(std::move(present)) {
  setObjectName(QStringLiteral("ForecastControls"));
  Label_Comet = Caption(this, "Label_Comet");
  ComboBox_Comet = new QComboBox(this);
  ComboBox_Comet->setObjectName(QStringLiteral("ComboBox_Comet"));
  for (int i = 0; i < kCometCount; ++i) {
    const std::string_view name = CometDisplayName(i);
    ComboBox_Comet->addItem(QString::fromLatin1(name.data(), qsizetype(name.size())).trimmed());
  }
  ComboBox_Comet->setCurrentIndex(kLeonidComet);
  Label_Trails = Caption(this, "Label_Trails");
  Edit_TrailFrom = YearBox(this, "Edit_TrailFrom", kStartTrailFrom);
  Edit_TrailTo = YearBox(this, "Edit_TrailTo", kStartTrailTo);
  Label_Years = Caption(this, "Label_Years");
  Edit_ForecastFrom = YearBox(this, "Edit_ForecastFrom", kStartForecastFrom);
  Edit_ForecastTo = YearBox(this, "Edit_ForecastTo", kStartForecastTo);
  Label_PerTrail = Caption(this, "Label_PerTrail");
  Edit_PerTrail = new QSpinBox(this);
  Edit_PerTrail->setObjectName(QStringLiteral("Edit_PerTrail"));
  Edit_PerTrail->setRange(1, kMaxParticles);
  Edit_PerTrail->setValue(kStartPerTrail);
  Button_Forecast = new QPushButton(this);
  Button_Forecast->setObjectName(QStringLiteral("Button_Forecast"));
  Button_Forecast->setAutoDefault(false);
  Label_Error = Caption(this, "Label_Error");
  QPalette palette = Label_Error->palette();
  palette.setColor(QPalette::WindowText, QColor(160, 0, 0));
  Label_Error->setPalette(palette);
  Task = new BackgroundTask(this);

  auto* row = new QHBoxLayout;
  row->addWidget(Label_Comet);
  row->addWidget(ComboBox_Comet);
  row->addSpacing(12);
  row->addWidget(Label_Trails);
  row->addWidget(Edit_TrailFrom);
  row->addWidget(new QLabel(QStringLiteral("–"), this));
  row->addWidget(Edit_TrailTo);
  row->addSpacing(12);
  row->addWidget(Label_Years);
  row->addWidget(Edit_ForecastFrom);
  row->addWidget(new QLabel(QStringLiteral("–"), this));
  row->addWidget(Edit_ForecastTo);
  row->addSpacing(12);
  row->addWidget(Label_PerTrail);
  row->addWidget(Edit_PerTrail);
  row->addSpacing(12);
  row->addWidget(Button_Forecast);
  row->addStretch(1);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->addLayout(row);
  column->addWidget(Label_Error);
  column->addWidget(Task);
  Label_Error->hide();
  RetranslateUi();

  connect(Button_Forecast, &QPushButton::clicked, this, [this] { Button_ForecastClick(); });
  connect(Task, &BackgroundTask::Completed, this, [this] { SetEditing(true); });
  connect(Task, &BackgroundTask::Cancelled, this, [this] { SetEditing(true); });
  connect(Task, &BackgroundTask::Failed, this, [this](const QString& message) {
    SetEditing(true);
    Label_Error->setText(message);
    Label_Error->show();
  });
}

ForecastSettings ForecastControls::Settings() const {
  ForecastSettings s;
  s.cometIndex = ComboBox_Comet->currentIndex();
  s.trailFrom = Edit_TrailFrom->value();
  s.trailTo = Edit_TrailTo->value();
  s.forecastFrom = Edit_ForecastFrom->value();
  s.forecastTo = Edit_ForecastTo->value();
  s.perTrail = Edit_PerTrail->value();
  s.threads = WorkerPool::AllCores();
  return s;
}

void ForecastControls::Button_ForecastClick() {
  if (Task->Running()) return;
  Label_Error->hide();
  const ForecastSettings settings = Settings();
  // The job sees only its copy of the settings and hands its encounters over at the end.
  const bool started =
      Task->Start(tr("Vorhersage"),
                  [settings, present = present_](Progress& progress) -> BackgroundTask::Apply {
                    progress.BeginStage("forecast", 0, 1);
                    ForecastResult result =
                        RunForecast(settings, ReportInto(progress, settings));
                    if (result.cancelled) throw RunCancelled();
                    return [present, encounters = std::move(result.encounters)]() mutable {
                      present(std::move(encounters));
                    };
                  });
  if (started) SetEditing(false);
}

void ForecastControls::SetEditing(bool enabled) {
  for (QWidget* control : std::initializer_list<QWidget*>{
           ComboBox_Comet, Edit_TrailFrom, Edit_TrailTo, Edit_ForecastFrom, Edit_ForecastTo,
           Edit_PerTrail, Button_Forecast}) {
    control->setEnabled(enabled);
  }
}

void ForecastControls::RetranslateUi() {
  Label_Comet->setText(tr("Komet"));
  Label_Trails->setText(tr("Spuren der Jahre"));
  Label_Years->setText(tr("Vorhersage für"));
  Label_PerTrail->setText(tr("Teilchen je Spur"));
  Button_Forecast->setText(tr("&Vorhersage berechnen"));
}

void ForecastControls::changeEvent(QEvent* event) {
  if (event->type() == QEvent::LanguageChange) RetranslateUi();
  QWidget::changeEvent(event);
}

}  // namespace stelvo
