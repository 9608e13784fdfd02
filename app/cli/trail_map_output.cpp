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

const TrailEncounter* TrailMapEncounter(std::span<const TrailEncounter> encounters, int trailYear,
                                        int forecastYear) {
  const TrailEncounter* best = nullptr;
  for (const TrailEncounter& e : encounters) {
    if ((trailYear != 0 && e.trailYear != trailYear) ||
        (forecastYear != 0 && e.forecastYear != forecastYear)) {
      continue;
    }
    if (best == nullptr || e.zhr > best->zhr ||
        (e.zhr == best->zhr && e.particles > best->particles)) {
      best = &e;
    }
  }
  return best;
}

bool WriteTrailMap(const TrailEncounter& encounter, int width, int height, const std::string& path,
                   std::string& error) {
  NeedFonts();
  TrailMap map;
  map.Resize(width, height);
  map.Redraw(encounter, TrailMapTexts{});
  return WritePngAtomically(map.Image(), path, error);
}

}  // namespace stelvo
