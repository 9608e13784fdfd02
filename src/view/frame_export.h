#pragma once
// Writes a finished frame to a PNG file for the command-line renderer: under a
// temporary name beside the target, renamed into place only when complete, so the
// target holds either its old content (or does not exist) or the whole new image.

#include <QImage>
#include <string>

namespace stelvo {

// Returns true on success; otherwise `error` holds one line naming the file and the
// reason, and no temporary file is left behind.
bool WritePngAtomically(const QImage& image, const std::string& path, std::string& error);

}  // namespace stelvo
