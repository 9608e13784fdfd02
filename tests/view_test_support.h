#pragma once
// Pixel helpers shared by the view tests.

#include <QImage>
#include <QRect>
#include <QRgb>
#include <cstdint>

#include "core/state_digest.h"

namespace stelvo::test {

inline QRgb At(const QImage& image, int x, int y) { return image.pixel(x, y) | 0xff000000u; }

// The smallest rectangle holding every pixel that differs from `ground` within `area`.
inline QRect BoundsOfNot(const QImage& image, QRgb ground, const QRect& area) {
  QRect bounds;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (At(image, x, y) != (ground | 0xff000000u)) bounds |= QRect(x, y, 1, 1);
    }
  }
  return bounds;
}

inline int CountOf(const QImage& image, QRgb colour) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) count += At(image, x, y) == (colour | 0xff000000u);
  }
  return count;
}

// The digest of every pixel, row by row, without the padding at the end of a row.
inline std::uint64_t ImageDigest(const QImage& image) {
  std::uint64_t digest = kDigestStart;
  const auto rowBytes = static_cast<std::size_t>(image.width()) * (image.depth() / 8);
  for (int y = 0; y < image.height(); ++y)
    digest = DigestBytes(digest, image.constScanLine(y), rowBytes);
  return digest;
}

}  // namespace stelvo::test
