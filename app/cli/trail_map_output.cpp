#include "trail_map_output.h"

#include <QGuiApplication>
#include <memory>

#include "view/frame_export.h"
#include "view/trail_map.h"

namespace stelvo {

namespace {

// Text needs a QGuiApplication for its fonts; stelvo-cli makes one, on the offscreen
// platform, only when a picture with text is asked for.
void NeedFonts() {
  static std::unique_ptr<QGuiApplication> app;
  if (QGuiApplication::instance() != nullptr) return;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "stelvo-cli";
  static char* argv[] = {name, nullptr};
  app = std::make_unique<QGuiApplication>(argc, argv);
}

}  // namespace

bool WriteTrailMap(const TrailEncounter& encounter, int width, int height, const std::string& path,
                   std::string& error) {
  NeedFonts();
  TrailMap map;
  map.Resize(width, height);
  // stelvo-cli speaks English; the window's texts are German with an English catalogue.
  TrailMapTexts texts;
  texts.time = QStringLiteral("Time (UTC)");
  texts.miss = QStringLiteral("rD − rE (AU)");
  texts.title = QStringLiteral("Trail %1, peak %2 UTC, %3 particles near the Earth");
  texts.earth = QStringLiteral("Earth");
  texts.empty = QStringLiteral("No particles near the Earth");
  map.Redraw(encounter, texts);
  return WritePngAtomically(map.Image(), path, error);
}

}  // namespace stelvo
