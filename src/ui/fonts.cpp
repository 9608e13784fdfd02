#include "ui/fonts.h"

#include <QFontDatabase>
#include <QFontInfo>

namespace stelvo {
namespace {

QFont Sized(QFont font, int pixelSize, bool bold) {
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  return font;
}

}  // namespace

QFont WindowFont(int pixelSize, bool bold) {
  // After MS Sans Serif, sans serifs of about its widths, so that the captions fit
  // the controls' fixed sizes; the platform's own sans serif last.
  static const QFont base = [] {
    for (const char* family : {"MS Sans Serif", "Microsoft Sans Serif", "Arial", "Liberation Sans",
                               "Nimbus Sans", "Helvetica"}) {
      if (QFontDatabase::hasFamily(QLatin1String(family))) return QFont(QLatin1String(family));
    }
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  }();
  return Sized(base, pixelSize, bold);
}

QFont FixedPitchFont(int pixelSize, bool bold) {
  static const QFont base = [] {
    if (QFontDatabase::hasFamily(QStringLiteral("Courier New"))) {
      QFont courier(QStringLiteral("Courier New"));
      if (QFontInfo(courier).fixedPitch()) return courier;
    }
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setStyleHint(QFont::Monospace);
    return fixed;
  }();
  return Sized(base, pixelSize, bold);
}

}  // namespace stelvo
