// The window program: one window, the event loop, nothing else.
#include <QApplication>

#include "ui/form_main.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Stelvo"));
  // Links the window to its launcher on desktops that match them by name (Wayland).
  QGuiApplication::setDesktopFileName(QStringLiteral("io.github.stelvo.Stelvo"));
  stelvo::TForm_Main form;
  // For measurements only: STELVO_THREADS=N runs the particles on N threads instead
  // of every core.
  if (const int threads = qEnvironmentVariableIntValue("STELVO_THREADS"); threads > 0) {
    form.SetThreads(threads);
  }
  form.showMaximized();
  form.activateWindow();
  return QApplication::exec();
}
