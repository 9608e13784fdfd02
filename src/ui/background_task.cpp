#include "ui/background_task.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <cmath>

namespace stelvo {

namespace {
// The strip is redrawn five times a second, often enough for a bar, rarely enough
// to cost nothing.
constexpr int kRefreshMs = 200;
constexpr int kBarSteps = 1000;

// The stages the computations name (meteors/forecast.h, meteors/stream.h), in the
// window's language; a stage of another form is not shown.
struct StageForm {
  const char* pattern;  // the stage's text, its numbers captured
  const char* caption;  // %1, %2: the numbers
};
constexpr StageForm kStageForms[] = {
    {R"(^trail (\d+) of (\d+)$)", QT_TRANSLATE_NOOP("stelvo::BackgroundTask", "Spur %1 von %2")},
    {R"(^return (\d+) of (\d+)$)",
     QT_TRANSLATE_NOOP("stelvo::BackgroundTask", "Wiederkehr %1 von %2")},
    {R"(^forecast (-?\d+)$)", QT_TRANSLATE_NOOP("stelvo::BackgroundTask", "Jahr %1")},
};

QString StageCaption(const std::string& stage) {
  const QString text = QString::fromStdString(stage);
  for (const StageForm& form : kStageForms) {
    const QRegularExpressionMatch match =
        QRegularExpression(QLatin1String(form.pattern)).match(text);
    if (!match.hasMatch()) continue;
    QString caption = QCoreApplication::translate("stelvo::BackgroundTask", form.caption);
    for (int k = 1; k <= match.lastCapturedIndex(); ++k) caption = caption.arg(match.captured(k));
    return caption;
  }
  return QString();
}
}  // namespace

BackgroundTask::BackgroundTask(QWidget* parent) : QFrame(parent) {
  setObjectName(QStringLiteral("BackgroundTask"));
  Bar = new QProgressBar(this);
  Bar->setObjectName(QStringLiteral("Bar"));
  Bar->setRange(0, kBarSteps);
  Bar->setFormat(QStringLiteral("%p %"));
  Bar->setMinimumWidth(200);
  Bar->setMaximumWidth(480);
  Label_Rest = new QLabel(this);
  Label_Rest->setObjectName(QStringLiteral("Label_Rest"));
  Button_Cancel = new QPushButton(this);
  Button_Cancel->setObjectName(QStringLiteral("Button_Cancel"));
  Button_Cancel->setAutoDefault(false);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(4, 2, 4, 2);
  layout->addWidget(Label_Rest);
  layout->addWidget(Bar, 1);
  layout->addWidget(Button_Cancel);
  layout->addStretch(1);
  RetranslateUi();
  hide();

  refresh_.setInterval(kRefreshMs);
  connect(&refresh_, &QTimer::timeout, this, [this] { Refresh(); });
  connect(Button_Cancel, &QPushButton::clicked, this, [this] { Cancel(); });
}

BackgroundTask::~BackgroundTask() {
  if (progress_) progress_->Cancel();
  Join();
}

bool BackgroundTask::Start(const QString& title, Job job) {
  if (Running()) return false;
  title_ = title;
  progress_ = std::make_shared<Progress>();
  // The worker holds the progress too, and reaches the window only through a call
  // queued to this object, which Qt drops if the object is gone.
  worker_ = std::thread([this, progress = progress_, job = std::move(job)] {
    Apply apply;
    bool cancelled = false;
    QString error;
    try {
      apply = job(*progress);
    } catch (const RunCancelled&) {
      cancelled = true;
    } catch (const std::exception& e) {
      error = QString::fromStdString(e.what());
    }
    QMetaObject::invokeMethod(
        this,
        [this, apply = std::move(apply), cancelled, error] { JobEnded(apply, cancelled, error); },
        Qt::QueuedConnection);
  });
  Button_Cancel->setEnabled(true);
  Bar->setValue(0);
  Refresh();
  show();
  raise();
  refresh_.start();
  return true;
}

void BackgroundTask::Cancel() {
  if (!progress_ || !Running()) return;
  progress_->Cancel();
  Button_Cancel->setEnabled(false);
  Label_Rest->setText(tr("%1: wird abgebrochen").arg(title_));
}

void BackgroundTask::Refresh() {
  if (!progress_ || progress_->CancelRequested()) return;
  const Progress::Snapshot s = progress_->Read();
  Bar->setValue(int(std::lround(s.fraction * kBarSteps)));
  const QString rest = QString::fromStdString(FormatDuration(s.remainingSeconds));
  const QString stage = StageCaption(s.stage);
  Label_Rest->setText(stage.isEmpty() ? tr("%1: noch %2").arg(title_, rest)
                                      : tr("%1, %2: noch %3").arg(title_, stage, rest));
}

void BackgroundTask::JobEnded(Apply apply, bool cancelled, const QString& error) {
  Join();
  // A cancel asked for while the last step ran still counts: what the user was
  // shown is what stays.
  cancelled = cancelled || progress_->CancelRequested();
  refresh_.stop();
  progress_.reset();
  hide();
  if (cancelled) {
    emit Cancelled();
  } else if (!error.isEmpty()) {
    emit Failed(error);
  } else {
    if (apply) apply();
    emit Completed();
  }
}

void BackgroundTask::Join() {
  if (worker_.joinable()) worker_.join();
}

void BackgroundTask::RetranslateUi() { Button_Cancel->setText(tr("Abbrechen")); }

void BackgroundTask::changeEvent(QEvent* event) {
  if (event->type() == QEvent::LanguageChange) RetranslateUi();
  QFrame::changeEvent(event);
}

}  // namespace stelvo
