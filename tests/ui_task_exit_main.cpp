// The window with a long job in a background task, run as its own process by
// ui_background_task_test: the window is resized while the job works, then Exit is
// pressed ("exit") or the application is asked to quit ("quit": Qt closes the windows
// first), each announced on stdout.
// "forecast" runs a trail forecast from the shower window instead of the stand-in
// job and presses the main window's Exit; "forecast-quit" quits during a forecast. "hold" and
// "hold-forecast" leave the window and its job running, for a screenshot.

#include <QApplication>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <utility>

#include "stand_in_job.h"
#include "ui/background_task.h"
#include "ui/forecast_controls.h"
#include "ui/form_main.h"
#include "ui/shower_window.h"

int main(int argc, char** argv) {
  using namespace stelvo;
  QApplication app(argc, argv);
  const std::string mode = argc > 1 ? argv[1] : "";
  const bool forecast = mode.rfind("forecast", 0) == 0 || mode == "hold-forecast";
  const bool viaExit = mode == "exit" || mode == "forecast";
  TForm_Main form;
  BackgroundTask* task = nullptr;
  QWidget* resized = &form;
  static std::uint64_t result = 0;
  if (forecast) {
    form.show();
    form.Showers1Click();
    TForm_Showers* showers = form.Form_Showers;
    showers->Tabs->setCurrentIndex(1);
    ForecastControls* controls = showers->Forecast_Controls;
    auto longForecast = [controls] {
      static bool started = false;  // once
      if (std::exchange(started, true)) return;
      controls->Edit_TrailFrom->setValue(1699);
      controls->Edit_PerTrail->setValue(10000);
      controls->Button_ForecastClick();
    };
    if (mode == "hold-forecast") {
      // A short forecast first, so that the view holds results while the long one runs.
      controls->Edit_TrailFrom->setValue(1866);
      controls->Edit_PerTrail->setValue(500);
      QObject::connect(controls->Task, &BackgroundTask::Completed, controls, longForecast,
                       Qt::QueuedConnection);
      controls->Button_ForecastClick();
    } else {
      longForecast();
    }
    task = controls->Task;
    resized = showers;
  } else {
    task = new BackgroundTask(&form);
    form.StatusBar1->addPermanentWidget(task, 1);
    form.show();
    task->Start(QStringLiteral("Lauf"), testing::DigestJob(2000, 100000000, &result));
  }
  if (mode.rfind("hold", 0) == 0) {
    if (!forecast) form.showMaximized();
    return app.exec();
  }

  int resizes = 0;
  QTimer driver;
  QObject::connect(&driver, &QTimer::timeout, [&] {
    const Progress* progress = task->CurrentProgress();
    if (resizes == 0 && !(progress && progress->Read().fraction > 0.01)) return;
    if (resizes == 0) std::printf("running\n");
    if (resizes++ < 10) {
      resized->resize(900 + 20 * resizes, 600 + 10 * resizes);
      return;
    }
    driver.stop();
    std::printf(viaExit ? "exit\n" : "quit\n");
    std::fflush(stdout);
    if (viaExit)
      form.Button_Exit->click();
    else
      QCoreApplication::quit();
  });
  driver.start(30);
  return app.exec();
}
