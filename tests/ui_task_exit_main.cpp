// The window with a long job in a background task, run as its own process by
// ui_background_task_test: the window is resized while the job works, then Exit is
// pressed ("exit") or the event loop is quit ("quit"), each announced on stdout.
// "hold" leaves the window and its job running, for a screenshot.

#include <QApplication>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <cstdio>
#include <cstring>

#include "stand_in_job.h"
#include "ui/background_task.h"
#include "ui/form_main.h"

int main(int argc, char** argv) {
  using namespace stelvo;
  QApplication app(argc, argv);
  const bool viaExit = argc > 1 && std::strcmp(argv[1], "exit") == 0;
  const bool hold = argc > 1 && std::strcmp(argv[1], "hold") == 0;
  TForm_Main form;
  auto* task = new BackgroundTask(&form);
  form.StatusBar1->addPermanentWidget(task, 1);
  form.show();
  static std::uint64_t result = 0;
  task->Start(QStringLiteral("Lauf"), testing::DigestJob(2000, 100000000, &result));

  if (hold) {
    form.showMaximized();
    return app.exec();
  }
  int resizes = 0;
  QTimer driver;
  QObject::connect(&driver, &QTimer::timeout, [&] {
    const Progress* progress = task->CurrentProgress();
    if (resizes == 0 && !(progress && progress->Read().fraction > 0.1)) return;
    if (resizes == 0) std::printf("running\n");
    if (resizes++ < 10) {
      form.resize(900 + 20 * resizes, 600 + 10 * resizes);
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
