#include "trail_map_output.h"

#include <QGuiApplication>
#include <memory>

#include "view/frame_export.h"
#include "view/trail_map.h"

namespace stelvo {

namespace {

// Text needs a QGuiApplication for its fonts: stelvo-cli makes one, on the offscreen
// platform, only while it draws a picture with text. Qt's own notes (a missing
// runtime directory and the like) stay off stderr, which carries the program's lines.
class FontsForDrawing {
 public:
  FontsForDrawing() {
    if (QGuiApplication::instance() != nullptr) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    previous_ = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    app_ = std::make_unique<QGuiApplication>(argc_, argv_);
  }
  ~FontsForDrawing() {
    if (app_ == nullptr) return;
    app_.reset();
    qInstallMessageHandler(previous_);
  }

 private:
  int argc_ = 1;
  char name_[11] = "stelvo-cli";
  char* argv_[2] = {name_, nullptr};
  QtMessageHandler previous_ = nullptr;
  std::unique_ptr<QGuiApplication> app_;
};

}  // namespace

bool WriteTrailMap(const TrailEncounter& encounter, int width, int height, const std::string& path,
                   std::string& error) {
  const FontsForDrawing fonts;
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
