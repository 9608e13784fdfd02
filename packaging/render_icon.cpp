// Renders the window's comet icon as PNG files of the hicolor theme's sizes, so the
// installed icons are the very picture the window shows.
// Usage: stelvo-render-icon OUTPUT_DIR SIZE...  writes OUTPUT_DIR/SIZE.png for each SIZE.
#include <QDir>
#include <QImage>
#include <QString>
#include <cstdio>

#include "ui/pictures.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s OUTPUT_DIR SIZE...\n", argv[0]);
    return 2;
  }
  const QDir dir(QString::fromLocal8Bit(argv[1]));
  for (int i = 2; i < argc; ++i) {
    bool ok = false;
    const int side = QString::fromLatin1(argv[i]).toInt(&ok);
    if (!ok || side < 1 || side > 1024) {
      std::fprintf(stderr, "bad icon size '%s'\n", argv[i]);
      return 2;
    }
    const QString path = dir.filePath(QStringLiteral("%1.png").arg(side));
    if (!stelvo::DrawCometPicture(QSize(side, side)).save(path, "PNG")) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
      return 1;
    }
  }
  return 0;
}
