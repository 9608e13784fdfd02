#include "ui/forecast_controls.h"

#include <QComboBox>
#include <QEvent>
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

namespace stelvo {

namespace {
// 55P/Tempel-Tuttle, the Leonids' comet, and its trails that gave the storms of
// 1999-2002, with the forecast's default grains per trail (minutes of work; fewer
// grains move the 1999 peak by tens of minutes).
constexpr int kLeonidComet = 539;
constexpr int kStartTrailFrom = 1699, kStartTrailTo = 1965;
constexpr int kStartForecastFrom = 1998, kStartForecastTo = 2002;
constexpr int kStartPerTrail = kDefaultGrainsPerTrail;
}  // namespace

RunControls::RunControls(QWidget* parent, const char* name) : QWidget(parent) {
  setObjectName(QLatin1String(name));
  Label_Comet = NewCaption("Label_Comet");
  ComboBox_Comet = new QComboBox(this);
  ComboBox_Comet->setObjectName(QStringLiteral("ComboBox_Comet"));
  for (int i = 0; i < kCometCount; ++i) {
    const std::string_view comet = CometDisplayName(i);
    ComboBox_Comet->addItem(QString::fromLatin1(comet.data(), qsizetype(comet.size())).trimmed());
  }
  ComboBox_Comet->setCurrentIndex(kLeonidComet);
  Label_Error = NewCaption("Label_Error");
  QPalette palette = Label_Error->palette();
  palette.setColor(QPalette::WindowText, QColor(160, 0, 0));
  Label_Error->setPalette(palette);
  Label_Error->setWordWrap(true);
  Task = new BackgroundTask(this);

  row_ = new QHBoxLayout;
  column_ = new QVBoxLayout(this);
  column_->setContentsMargins(0, 0, 0, 0);
  column_->addLayout(row_);
  column_->addWidget(Label_Error);
  column_->addWidget(Task);
  Label_Error->hide();
  AddToRow(Label_Comet, {ComboBox_Comet});

  connect(Task, &BackgroundTask::Completed, this, [this] { SetEditing(true); });
  connect(Task, &BackgroundTask::Cancelled, this, [this] { SetEditing(true); });
  connect(Task, &BackgroundTask::Failed, this, [this](const QString& message) {
    SetEditing(true);
    Label_Error->setText(message);
    Label_Error->show();
  });
}

QLabel* RunControls::NewCaption(const char* name) {
  auto* label = new QLabel(this);
  label->setObjectName(QLatin1String(name));
  return label;
}

QSpinBox* RunControls::NewNumberBox(const char* name, int from, int to, int value) {
  auto* box = new QSpinBox(this);
  box->setObjectName(QLatin1String(name));
  box->setRange(from, to);
  box->setValue(value);
  return box;
}

void RunControls::AddToRow(QLabel* caption, std::initializer_list<QWidget*> boxes) {
  if (row_->count() > 0) row_->addSpacing(12);
  row_->addWidget(caption);
  bool first = true;
  for (QWidget* box : boxes) {
    if (!first) row_->addWidget(new QLabel(QStringLiteral("–"), this));
    first = false;
    row_->addWidget(box);
    settings_.push_back(box);
  }
}

void RunControls::BreakRow() {
  row_->addStretch(1);
  row_ = new QHBoxLayout;
  column_->insertLayout(column_->indexOf(Label_Error), row_);
}

void RunControls::AddStartButton(QPushButton* button, std::function<void()> start) {
  button->setAutoDefault(false);
  if (row_->count() > 0) row_->addSpacing(12);
  row_->addWidget(button);
  row_->addStretch(1);
  settings_.push_back(button);
  connect(button, &QPushButton::clicked, this, std::move(start));
}

void RunControls::StartJob(const QString& title, BackgroundTask::Job job) {
  if (Task->Running()) return;
  Label_Error->hide();
  if (Task->Start(title, std::move(job))) SetEditing(false);
}

void RunControls::SetEditing(bool enabled) {
  for (QWidget* control : settings_) control->setEnabled(enabled);
}

void RunControls::changeEvent(QEvent* event) {
  if (event->type() == QEvent::LanguageChange) RetranslateUi();
  QWidget::changeEvent(event);
}

ForecastControls::ForecastControls(Present present, QWidget* parent)
    : RunControls(parent, "ForecastControls"), present_(std::move(present)) {
  Label_Trails = NewCaption("Label_Trails");
  Edit_TrailFrom =
      NewNumberBox("Edit_TrailFrom", kFirstForecastYear, kLastForecastYear, kStartTrailFrom);
  Edit_TrailTo = NewNumberBox("Edit_TrailTo", kFirstForecastYear, kLastForecastYear, kStartTrailTo);
  Label_Years = NewCaption("Label_Years");
  Edit_ForecastFrom =
      NewNumberBox("Edit_ForecastFrom", kFirstForecastYear, kLastForecastYear, kStartForecastFrom);
  Edit_ForecastTo =
      NewNumberBox("Edit_ForecastTo", kFirstForecastYear, kLastForecastYear, kStartForecastTo);
  Label_PerTrail = NewCaption("Label_PerTrail");
  Edit_PerTrail = NewNumberBox("Edit_PerTrail", 1, kMaxParticles, kStartPerTrail);
  Button_Forecast = new QPushButton(this);
  Button_Forecast->setObjectName(QStringLiteral("Button_Forecast"));
  AddToRow(Label_Trails, {Edit_TrailFrom, Edit_TrailTo});
  AddToRow(Label_Years, {Edit_ForecastFrom, Edit_ForecastTo});
  AddToRow(Label_PerTrail, {Edit_PerTrail});
  AddStartButton(Button_Forecast, [this] { Button_ForecastClick(); });
  RetranslateUi();
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
  const ForecastSettings settings = Settings();
  // The job sees only its copy of the settings and hands its encounters over at the end.
  StartJob(tr("Vorhersage"),
           [settings, present = present_](Progress& progress) -> BackgroundTask::Apply {
             progress.BeginStage("forecast", 0, 1);
             ForecastResult result = RunForecast(settings, ReportInto(progress, settings));
             if (result.cancelled) throw RunCancelled();
             return [present, encounters = std::move(result.encounters)]() mutable {
               present(std::move(encounters));
             };
           });
}

void ForecastControls::RetranslateUi() {
  Label_Comet->setText(tr("Komet"));
  Label_Trails->setText(tr("Spuren der Jahre"));
  Label_Years->setText(tr("Vorhersage für"));
  Label_PerTrail->setText(tr("Teilchen je Spur"));
  Button_Forecast->setText(tr("&Vorhersage berechnen"));
}

}  // namespace stelvo
