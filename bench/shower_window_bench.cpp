// Passes per second of the window's run with the meteor shower window closed and
// open, alternating, on the real event loop (every frame painted), and the cost of
// one refresh of the shower window with a run's results. Not a test; run it on a
// display (or Xvfb) as the program runs, with the two windows side by side:
//
// Usage: shower_window_bench [SECONDS [ROUNDS [BODIES]]]   (defaults 8, 3, 20000)
// The run: comet 109P/Swift-Tuttle, "ueber Bahn", step 5 days.

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "ui/form_main.h"
#include "ui/shower_window.h"

namespace {

constexpr int kSwiftTuttle = 533;
constexpr int kWarmUpMs = 1500;  // start-up and the first frames are not counted

// Runs the window for `seconds` after a warm-up; returns passes per second.
double PassesPerSecond(stelvo::TForm_Main& form, double seconds) {
  form.Button_StartClick();
  double startDays = 0;
  QElapsedTimer clock;
  QTimer::singleShot(kWarmUpMs, [&] {
    startDays = form.Run().State().SimDays;
    clock.start();
  });
  // A loop of its own: quitting the application would close the window, which ends
  // the program.
  QEventLoop loop;
  QTimer::singleShot(kWarmUpMs + static_cast<int>(seconds * 1000), &loop, &QEventLoop::quit);
  loop.exec();
  const double passes = (form.Run().State().SimDays - startDays) / form.Run().State().StepDays;
  const double elapsed = clock.elapsed() / 1000.0;
  form.Button_StopClick();
  return passes / elapsed;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const double seconds = argc > 1 ? std::atof(argv[1]) : 8;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
  const QString bodies = QString::fromLatin1(argc > 3 ? argv[3] : "20000");

  stelvo::TForm_Main form;
  form.SetErrorDisplay([](const QString& message) {
    std::fprintf(stderr, "error: %s\n", message.toLocal8Bit().constData());
  });
  // Side by side, so that neither window hides part of the other: a screen of at
  // least 3200 x 1080 (Xvfb -screen 0 3200x1080x24).
  form.setGeometry(0, 30, 1900, 1000);
  form.show();
  form.Form_Showers->move(1940, 30);
  QApplication::processEvents();
  form.ComboBox_Kome->setCurrentIndex(kSwiftTuttle);
  form.ComboBox_Part->setCurrentIndex(form.ComboBox_Part->findText(bodies));

  std::vector<double> closed, open;
  for (int round = 0; round < rounds; ++round) {
    form.Form_Showers->hide();
    closed.push_back(PassesPerSecond(form, seconds));
    form.Showers1->trigger();
    open.push_back(PassesPerSecond(form, seconds));
    std::printf("round %d: closed %.1f, open %.1f passes/s\n", round + 1, closed.back(),
                open.back());
  }
  std::printf("median: closed %.1f, open %.1f passes/s (%.1f %% fewer)\n", Median(closed),
              Median(open), 100.0 * (1.0 - Median(open) / Median(closed)));

  // One refresh with the last run's results (map dots, profile, summary, table),
  // and the full redraw that a resize makes, painting included.
  stelvo::TForm_Showers& showers = *form.Form_Showers;
  std::vector<double> refresh, repaint;
  for (int i = 0; i < 50; ++i) {
    QElapsedTimer clock;
    clock.start();
    showers.Refresh();
    refresh.push_back(clock.nsecsElapsed() / 1e6);
    clock.start();
    showers.repaint();
    repaint.push_back(clock.nsecsElapsed() / 1e6);
  }
  std::printf("refresh %.2f ms, painting the window %.2f ms (medians of 50; %lld crossings)\n",
              Median(refresh), Median(repaint),
              static_cast<long long>(showers.Summary().CrossingCount()));
  return 0;
}
