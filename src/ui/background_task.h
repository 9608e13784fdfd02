#pragma once
// A long computation started from a window (a trail forecast, a big start-up) run
// off the event loop in a worker thread, shown in the window that started it as a
// strip with a progress bar, the remaining time and a Cancel button. The window
// places the strip; its result is handed back on the window's thread only when the
// job has completed, so a cancel leaves the window's previous results as they were.

#include <QFrame>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <thread>

#include "core/progress.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace stelvo {

class BackgroundTask : public QFrame {
  Q_OBJECT

 public:
  // What the window does with a completed job's result; runs on the window's thread.
  using Apply = std::function<void()>;
  // Runs on the worker: reports into the progress at its step boundaries and checks
  // for a cancel there (ReportProgress, Progress::CheckCancelled), which throws
  // RunCancelled. Returns the Apply that hands its result to the window. It must not
  // touch the window: what it needs is captured by value when it is made.
  using Job = std::function<Apply(Progress&)>;

  explicit BackgroundTask(QWidget* parent);
  // Cancels a running job and waits until it has stopped, which is at its next step
  // boundary; the program's Exit does not come here, it ends the process at once.
  ~BackgroundTask() override;

  // Starts `job` under `title` ("Vorhersage") and shows the strip. Refused (false)
  // while another job runs.
  bool Start(const QString& title, Job job);
  // Asks the running job to stop at its next step boundary.
  void Cancel();
  bool Running() const { return worker_.joinable(); }
  // The progress of the running job, for tests; null when none runs.
  const Progress* CurrentProgress() const { return progress_.get(); }

  QProgressBar* Bar;
  QLabel* Label_Rest;  // the title and the remaining time
  QPushButton* Button_Cancel;

 signals:
  void Completed();                     // the result was handed to the window
  void Cancelled();                     // stopped on request; nothing handed over
  void Failed(const QString& message);  // the job threw; nothing handed over

 private:
  void Refresh();
  void JobEnded(Apply apply, bool cancelled, const QString& error);
  void Join();
  void RetranslateUi();
  void changeEvent(QEvent* event) override;

  QString title_;
  std::shared_ptr<Progress> progress_;
  std::thread worker_;
  QTimer refresh_;
};

}  // namespace stelvo
