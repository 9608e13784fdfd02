#include "view/frame_export.h"

#include <QImageWriter>
#include <QSaveFile>

namespace stelvo {

namespace {

std::string OneLine(const QString& text) {
  QString line = text.simplified();  // no line breaks inside the message
  return line.isEmpty() ? std::string("unknown error") : line.toStdString();
}

}  // namespace

bool WritePngAtomically(const QImage& image, const std::string& path, std::string& error) {
  const QString fileName = QString::fromStdString(path);
  const std::string prefix = "cannot write " + path + ": ";
  if (image.isNull()) {
    error = prefix + "the image is empty";
    return false;
  }
  // QSaveFile writes a temporary file in the target's directory and renames it on
  // commit; without commit the temporary file is removed and the target left alone.
  QSaveFile file(fileName);
  file.setDirectWriteFallback(false);
  if (!file.open(QIODevice::WriteOnly)) {
    error = prefix + OneLine(file.errorString());
    return false;
  }
  QImageWriter writer(&file, "png");
  if (!writer.write(image)) {
    error = prefix + OneLine(writer.errorString());
    file.cancelWriting();
    return false;
  }
  if (!file.commit()) {
    error = prefix + OneLine(file.errorString());
    return false;
  }
  return true;
}

}  // namespace stelvo
