#include "ui/fonts.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>

namespace stelvo {
namespace {

QFont Sized(QFont font, int pixelSize, bool bold) {
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  return font;
}

// The first of `families` the system has, else `fallback`.
QFont FirstInstalled(std::initializer_list<const char*> families, const QFont& fallback) {
  for (const char* family : families) {
    if (QFontDatabase::hasFamily(QLatin1String(family))) return QFont(QLatin1String(family));
  }
  return fallback;
}

}  // namespace

QFont WindowFont(int pixelSize, bool bold) {
  // After MS Sans Serif, sans serifs of Arial's widths (Liberation Sans and Arimo are
  // metric-compatible with it, Nimbus Sans with Helvetica), so that the captions fit
  // the controls' fixed sizes; the platform's own sans serif last.
  static const QFont base = FirstInstalled({"MS Sans Serif", "Microsoft Sans Serif", "Arial",
                                            "Liberation Sans", "Arimo", "Nimbus Sans", "Helvetica"},
                                           QFontDatabase::systemFont(QFontDatabase::GeneralFont));
  return Sized(base, pixelSize, bold);
}

QFont FixedPitchFont(int pixelSize, bool bold) {
  static const QFont base = [] {
    // Courier New, or a family of its widths, so that the catalogue lines keep their
    // columns at the list's width.
    for (const char* family : {"Courier New", "Liberation Mono", "Cousine", "Nimbus Mono PS"}) {
      if (!QFontDatabase::hasFamily(QLatin1String(family))) continue;
      QFont font{QLatin1String(family)};
      if (QFontInfo(font).fixedPitch()) return font;
    }
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setStyleHint(QFont::Monospace);
    return fixed;
  }();
  return Sized(base, pixelSize, bold);
}

QFont FittingFont(const QFont& font, const std::function<bool(const QFont&)>& fits) {
  static const QStringList narrower = [] {
    QStringList installed;
    for (const char* family : {"Liberation Sans Narrow", "Arial Narrow", "Nimbus Sans Narrow",
                               "DejaVu Sans Condensed"}) {
      if (QFontDatabase::hasFamily(QLatin1String(family))) installed << QLatin1String(family);
    }
    return installed;
  }();
  // A narrower sans serif would break the columns of a fixed-pitch text.
  const bool fixedPitch = QFontInfo(font).fixedPitch();
  QFont candidate = font;
  const int designSize = font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
  for (int size = designSize; size >= kSmallestFittingPixelSize; --size) {
    candidate = font;
    candidate.setPixelSize(size);
    if (fits(candidate)) return candidate;
    if (fixedPitch) continue;
    for (const QString& family : narrower) {
      QFont narrow = candidate;
      narrow.setFamily(family);
      if (fits(narrow)) return narrow;
    }
  }
  return candidate;
}

}  // namespace stelvo
