// Start/Stop soak of the window: many cycles of Start, a few passes with the window's
// events handled after each (so every frame is painted), and Stop. Prints the resident
// set and the heap in use after selected cycles; a leak per cycle shows as growth
// between the later samples. Not a test: bench/window_soak.sh builds and runs it.
//
// Usage: window_soak [CYCLES [BODIES [PASSES]]]   (defaults 1000, 4000, 5)

#include <malloc.h>
#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "ui/form_main.h"

namespace {

long ResidentKb() {
  std::ifstream statm("/proc/self/statm");
  long size = 0, resident = 0;
  statm >> size >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// Bytes handed out by malloc, the large blocks that it maps on its own included.
long HeapInUseKb() {
  const struct mallinfo2 info = mallinfo2();
  return static_cast<long>((info.uordblks + info.hblkhd) / 1024);
}

bool IsSample(int cycle, int cycles) {
  return cycle == 1 || cycle == 10 || cycle == 100 || cycle == 500 || cycle == 1000 ||
         cycle == cycles;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const int cycles = argc > 1 ? std::atoi(argv[1]) : 1000;
  const int bodies = argc > 2 ? std::atoi(argv[2]) : 4000;
  const int passes = argc > 3 ? std::atoi(argv[3]) : 5;

  stelvo::TForm_Main form;
  int errors = 0;
  form.SetErrorDisplay([&errors](const QString& message) {
    ++errors;
    std::fprintf(stderr, "error: %s\n", qPrintable(message));
  });
  form.SetTerminator([] {});
  form.SetAutomaticPasses(false);
  form.show();
  QApplication::processEvents();
  const int countIndex = form.ComboBox_Part->findText(QString::number(bodies));
  if (countIndex < 0) {
    std::fprintf(stderr, "window_soak: %d is not an entry of the particle list\n", bodies);
    return 2;
  }
  form.ComboBox_Part->setCurrentIndex(countIndex);

  std::printf("cycles %d bodies %d passes_per_cycle %d\n", cycles, bodies, passes);
  std::printf("%8s %10s %12s %10s\n", "cycle", "rss_kb", "heap_kb", "seconds");
  QElapsedTimer clock;
  clock.start();
  for (int cycle = 1; cycle <= cycles; ++cycle) {
    form.Button_Start->click();
    for (int pass = 0; pass < passes; ++pass) {
      form.RunPass();
      QApplication::processEvents();
    }
    form.Button_Stop->click();
    QApplication::processEvents();
    if (IsSample(cycle, cycles)) {
      std::printf("%8d %10ld %12ld %10.1f\n", cycle, ResidentKb(), HeapInUseKb(),
                  clock.elapsed() / 1000.0);
      std::fflush(stdout);
    }
  }
  std::printf("errors %d\n", errors);
  return errors == 0 ? 0 : 1;
}
