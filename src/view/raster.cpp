#include "view/raster.h"

#include <QPainter>
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "view/projection.h"

namespace stelvo {

namespace {

// ceil(a / b) for b > 0.
std::int64_t CeilDiv(std::int64_t a, std::int64_t b) {
  return a >= 0 ? (a + b - 1) / b : -(-a / b);
}

bool WritableScene(const QImage& image) { return !image.isNull() && image.depth() == 32; }

}  // namespace

void DrawLineExcludingEnd(QImage& image, int x0, int y0, int x1, int y1, QRgb colour) {
  if (!WritableScene(image)) return;
  // Keeps every product below within 64 bits; projected points never lie beyond.
  auto limit = [](int v) { return std::clamp(v, -kPixelLimit, kPixelLimit); };
  x0 = limit(x0), y0 = limit(y0), x1 = limit(x1), y1 = limit(y1);
  const std::int64_t width = image.width(), height = image.height();
  const std::int64_t dx = std::int64_t{x1} - x0, dy = std::int64_t{y1} - y0;
  const bool steep = std::llabs(dy) > std::llabs(dx);
  // Walk the major axis: `major` runs over `steps` pixels from `majorStart`, the
  // minor coordinate follows the exact line.
  const std::int64_t majorDelta = steep ? dy : dx, minorDelta = steep ? dx : dy;
  const std::int64_t majorStart = steep ? y0 : x0, minorStart = steep ? x0 : y0;
  const std::int64_t majorSize = steep ? height : width, minorSize = steep ? width : height;
  const std::int64_t steps = std::llabs(majorDelta);  // end point excluded
  if (steps == 0) return;
  const std::int64_t dir = majorDelta > 0 ? 1 : -1;

  // Clip the steps to the image along the major axis; the minor axis is tested per pixel.
  std::int64_t first = 0, last = steps - 1;
  if (dir > 0) {
    first = std::max(first, -majorStart);
    last = std::min(last, majorSize - 1 - majorStart);
  } else {
    first = std::max(first, majorStart - (majorSize - 1));
    last = std::min(last, majorStart);
  }

  if (first > last) return;

  // The minor pixel at step t is the nearest to the exact line, exact halves to the
  // smaller coordinate: minorStart + ceil(num / den) with num = 2 t d - n, den = 2 n
  // (d the minor delta, n the steps). Kept as num = den * q - r, 0 <= r < den, and
  // stepped without division: |2 d| <= den, so one correction per step suffices.
  const std::int64_t den = 2 * steps, numStep = 2 * minorDelta;
  const std::int64_t num = first * numStep - steps;
  std::int64_t q = CeilDiv(num, den);
  std::int64_t r = den * q - num;

  auto* bits = reinterpret_cast<QRgb*>(image.bits());
  const std::int64_t stride = image.bytesPerLine() / 4;
  const QRgb opaque = colour | 0xff000000u;
  for (std::int64_t t = first; t <= last; ++t) {
    const std::int64_t minor = minorStart + q;
    if (minor >= 0 && minor < minorSize) {
      const std::int64_t major = majorStart + dir * t;
      const std::int64_t x = steep ? minor : major, y = steep ? major : minor;
      bits[y * stride + x] = opaque;
    }
    r -= numStep;
    if (r < 0) {
      r += den;
      ++q;
    } else if (r >= den) {
      r -= den;
      --q;
    }
  }
}

DiscSprite::DiscSprite(int width, int height, QRgb fill) : width_(width), height_(height) {
  if (width <= 0 || height <= 0) {
    width_ = height_ = 0;
    return;
  }
  QImage mask(width, height, QImage::Format_ARGB32);
  mask.fill(Qt::transparent);
  {
    QPainter painter(&mask);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(QColor(0, 0, 0), 1));
    painter.setBrush(QColor::fromRgb(fill));
    // Qt's raster engine outlines QRect(l, t, w, h) over w + 1 by h + 1 pixels (the
    // right and bottom edges inclusive), so the box's exclusive edges are one less.
    painter.drawEllipse(QRect(0, 0, width - 1, height - 1));
  }
  pixels_.resize(static_cast<std::size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
    for (int x = 0; x < width; ++x) {
      // Aliased drawing leaves every pixel either untouched or opaque.
      pixels_[static_cast<std::size_t>(y) * width + x] =
          qAlpha(line[x]) >= 128 ? (line[x] | 0xff000000u) : 0;
    }
  }
}

void DiscSprite::Draw(QImage& image, int left, int top) const {
  if (!WritableScene(image) || width_ == 0) return;
  // 64-bit sums: the corner may lie anywhere within +-kPixelLimit.
  const std::int64_t x0 = std::max<std::int64_t>(0, left);
  const std::int64_t x1 = std::min<std::int64_t>(image.width(), std::int64_t{left} + width_);
  const std::int64_t y0 = std::max<std::int64_t>(0, top);
  const std::int64_t y1 = std::min<std::int64_t>(image.height(), std::int64_t{top} + height_);
  if (x0 >= x1 || y0 >= y1) return;
  auto* bits = reinterpret_cast<QRgb*>(image.bits());
  const std::int64_t stride = image.bytesPerLine() / 4;
  for (std::int64_t y = y0; y < y1; ++y) {
    const QRgb* source = pixels_.data() + (y - top) * width_ + (x0 - left);
    QRgb* target = bits + y * stride + x0;
    for (std::int64_t k = 0; k < x1 - x0; ++k) {
      if (source[k] != 0) target[k] = source[k];
    }
  }
}

}  // namespace stelvo
