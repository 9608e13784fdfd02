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
  static const QFont base = [] {
    if (QFontDatabase::hasFamily(QStringLiteral("MS Sans Serif"))) {
      return QFont(QStringLiteral("MS Sans Serif"));
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
