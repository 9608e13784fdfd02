#include "view/frame_export.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageWriter>

#include "core/atomic_file.h"

namespace stelvo {

namespace {

std::string OneLine(const QString& text) {
  QString line = text.simplified();  // no line breaks inside the message
  return line.isEmpty() ? std::string("unknown error") : line.toStdString();
}

}  // namespace

bool WritePngAtomically(const QImage& image, const std::string& path, std::string& error) {
  const std::string prefix = "cannot write " + path + ": ";
  if (image.isNull()) {
    error = prefix + "the image is empty";
    return false;
  }
  // Encoded in memory first, so that the file is written in one piece and a
  // failure at any stage leaves the target as it was.
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "png");
  if (!writer.write(image)) {
    error = prefix + OneLine(writer.errorString());
    return false;
  }
  if (!WriteBytesAtomically(path, std::string_view(bytes.constData(), bytes.size()), error)) {
    return false;
  }
  return true;
}

}  // namespace stelvo
