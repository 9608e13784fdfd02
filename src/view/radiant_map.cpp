#include "view/radiant_map.h"

#include <QFont>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "initial/constants.h"
#include "meteors/sky_geometry.h"

namespace stelvo {

namespace {

constexpr int kLeftMargin = 46;  // declination labels and title
constexpr int kTopMargin = 12;
constexpr int kBottomMargin = 40;  // right ascension labels and title
constexpr int kLegendWidth = 130;  // the colour wheel at the right
constexpr int kGridStepDeg = 30;
constexpr int kDotHalf = 1;  // dots of 3 x 3 pixels
constexpr QRgb kEclipticColour = 0xff8c7a3cu;
constexpr QRgb kMarkerColour = 0xffffffffu;  // rings round the showers' mean radiants
constexpr double kMarkerRadius = 9;

void FillRect(QImage& image, QRect r, QRgb colour) {
  r = r.intersected(image.rect());
  if (r.isEmpty()) return;
  const std::ptrdiff_t stride = image.bytesPerLine() / 4;
  auto* bits = reinterpret_cast<QRgb*>(image.bits());
  for (int y = r.top(); y <= r.bottom(); ++y) {
    std::fill_n(bits + y * stride + r.left(), r.width(), colour);
  }
}

// The colour wheel of solar longitude: 0° at the top, increasing clockwise, the hue
// of each degree as the dots carry it.
void DrawColourWheel(QImage& image, QPainter& painter, QPoint centre, int outer, int inner,
                     const QString& title) {
  const std::ptrdiff_t stride = image.bytesPerLine() / 4;
  auto* bits = reinterpret_cast<QRgb*>(image.bits());
  for (int dy = -outer; dy <= outer; ++dy) {
    for (int dx = -outer; dx <= outer; ++dx) {
      const int r2 = dx * dx + dy * dy;
      if (r2 > outer * outer || r2 < inner * inner) continue;
      const int x = centre.x() + dx, y = centre.y() + dy;
      if (!image.rect().contains(x, y)) continue;
      const double lambda = std::atan2(double(dx), double(-dy)) / kDegToRad;
      bits[y * stride + x] = SolarLongitudeColour(lambda < 0 ? lambda + 360.0 : lambda);
    }
  }
  painter.setPen(QColor::fromRgb(kChartText));
  const QFontMetrics metrics(painter.font());
  const int h = metrics.height();
  auto text = [&](int x, int y, const QString& s, Qt::Alignment align) {
    painter.drawText(QRect(x - 40, y - h / 2, 80, h), int(align | Qt::AlignVCenter), s);
  };
  text(centre.x(), centre.y() - outer - h / 2 - 1, QStringLiteral("0°"), Qt::AlignHCenter);
  text(centre.x(), centre.y() + outer + h / 2 + 1, QStringLiteral("180°"), Qt::AlignHCenter);
  painter.drawText(QRect(centre.x() + outer + 3, centre.y() - h / 2, 60, h),
                   Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("90°"));
  painter.drawText(QRect(centre.x() - outer - 63, centre.y() - h / 2, 60, h),
                   Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("270°"));
  text(centre.x(), centre.y() - outer - 2 * h - 2, title, Qt::AlignHCenter);
}

}  // namespace

void RadiantMap::Resize(int width, int height, const ChartTexts& texts) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (!image_.isNull() && image_.width() == width && image_.height() == height &&
      texts.rightAscension == texts_.rightAscension && texts.declination == texts_.declination &&
      texts.solarLongitude == texts_.solarLongitude) {
    return;
  }
  texts_ = texts;
  if (width == 0 || height == 0) {
    image_ = QImage();
    dots_ = QImage();
    grid_ = QImage();
    plot_ = QRect();
    return;
  }
  grid_ = QImage(width, height, QImage::Format_RGB32);
  // The chart keeps the 2:1 shape of 360° by 180° in the room the margins leave.
  const int roomW = std::max(2, width - kLeftMargin - kLegendWidth);
  const int roomH = std::max(1, height - kTopMargin - kBottomMargin);
  const int plotH = std::min(roomH, roomW / 2);
  const int plotW = 2 * plotH;
  plot_ = QRect(kLeftMargin + (roomW - plotW) / 2, kTopMargin + (roomH - plotH) / 2, plotW, plotH);
  DrawGrid(texts);
  dots_ = grid_.copy();
  image_ = grid_.copy();
}

QPoint RadiantMap::PixelOf(double raDeg, double decDeg) const {
  // The same arithmetic as AddDots, so a dot lands exactly on this pixel.
  const double sx = (plot_.width() - 1) / 360.0, sy = (plot_.height() - 1) / 180.0;
  const double x = plot_.left() + (360.0 - raDeg) * sx;
  const double y = plot_.top() + (90.0 - decDeg) * sy;
  return {static_cast<int>(std::lrint(x)), static_cast<int>(std::lrint(y))};
}

void RadiantMap::DrawGrid(const ChartTexts& texts) {
  grid_.fill(kChartMargin);
  FillRect(grid_, plot_, kChartSky);
  if (plot_.width() < 4 || plot_.height() < 4) return;
  const std::ptrdiff_t stride = grid_.bytesPerLine() / 4;
  auto* bits = reinterpret_cast<QRgb*>(grid_.bits());
  for (int ra = 0; ra <= 360; ra += kGridStepDeg) {
    const int x = PixelOf(ra, 0).x();
    for (int y = plot_.top(); y <= plot_.bottom(); ++y) bits[y * stride + x] = kChartGrid;
  }
  for (int dec = -90; dec <= 90; dec += kGridStepDeg) {
    const int y = PixelOf(0, dec).y();
    std::fill_n(bits + y * stride + plot_.left(), plot_.width(), kChartGrid);
  }
  // The ecliptic, where the radiants of streams in the ecliptic plane lie: sampled
  // finely enough that its points join.
  const int samples = 4 * plot_.width();
  for (int i = 0; i < samples; ++i) {
    const double lon = 360.0 * i / samples * kDegToRad;
    const double ra =
        std::atan2(std::cos(kObliquityJ2000Deg * kDegToRad) * std::sin(lon), std::cos(lon)) /
        kDegToRad;
    const double dec =
        std::asin(std::sin(kObliquityJ2000Deg * kDegToRad) * std::sin(lon)) / kDegToRad;
    const QPoint p = PixelOf(ra < 0 ? ra + 360.0 : ra, dec);
    if (plot_.contains(p)) bits[p.y() * stride + p.x()] = kEclipticColour;
  }

  QPainter painter(&grid_);
  painter.setFont(ChartLabelFont());
  painter.setPen(QColor::fromRgb(kChartText));
  const QFontMetrics metrics(painter.font());
  const int h = metrics.height();
  for (int ra = 0; ra <= 360; ra += kGridStepDeg) {
    const int x = PixelOf(ra, 0).x();
    painter.drawText(QRect(x - 30, plot_.bottom() + 3, 60, h), Qt::AlignHCenter | Qt::AlignTop,
                     QStringLiteral("%1°").arg(ra));
  }
  for (int dec = -90; dec <= 90; dec += kGridStepDeg) {
    const int y = PixelOf(0, dec).y();
    const QString label =
        dec > 0 ? QStringLiteral("+%1°").arg(dec) : QStringLiteral("%1°").arg(dec);
    painter.drawText(QRect(0, y - h / 2, plot_.left() - 4, h), Qt::AlignRight | Qt::AlignVCenter,
                     label);
  }
  painter.drawText(QRect(plot_.left(), plot_.bottom() + 4 + h, plot_.width(), h),
                   Qt::AlignHCenter | Qt::AlignTop, texts.rightAscension);
  DrawVerticalTitle(painter, plot_, texts.declination);
  const int outer = std::min(40, std::max(10, plot_.height() / 4));
  DrawColourWheel(grid_, painter,
                  QPoint(plot_.right() + kLegendWidth / 2 + 14, plot_.top() + 2 * h + outer + 8),
                  outer, outer * 6 / 10, QStringLiteral("λ☉"));
}

void RadiantMap::Clear() {
  if (image_.isNull()) return;
  const auto bytes = static_cast<std::size_t>(grid_.sizeInBytes());
  std::memcpy(dots_.bits(), grid_.constBits(), bytes);
  std::memcpy(image_.bits(), grid_.constBits(), bytes);
}

void RadiantMap::AddDot(const SkyDot& dot) {
  if (!dot.inShower || image_.isNull() || plot_.width() < 4) return;
  const double sx = (plot_.width() - 1) / 360.0, sy = (plot_.height() - 1) / 180.0;
  const int left = plot_.left(), right = plot_.right(), top = plot_.top(), bottom = plot_.bottom();
  const double fx = left + (360.0 - dot.raDeg) * sx;
  const double fy = top + (90.0 - dot.decDeg) * sy;
  if (!(fx >= left && fx <= right && fy >= top && fy <= bottom)) return;  // NaN too
  const int x = static_cast<int>(std::lrint(fx)), y = static_cast<int>(std::lrint(fy));
  const QRgb colour = SolarLongitudeColour(dot.lambdaSun);
  const int x0 = std::max(left, x - kDotHalf), x1 = std::min(right, x + kDotHalf);
  const int y0 = std::max(top, y - kDotHalf), y1 = std::min(bottom, y + kDotHalf);
  // Into the dot layer, which keeps every dot, and into the picture shown.
  for (QImage* target : {&dots_, &image_}) {
    const std::ptrdiff_t stride = target->bytesPerLine() / 4;
    auto* bits = reinterpret_cast<QRgb*>(target->bits());
    for (int yy = y0; yy <= y1; ++yy) {
      QRgb* row = bits + yy * stride;
      for (int xx = x0; xx <= x1; ++xx) row[xx] = colour;
    }
  }
}

void RadiantMap::MarkShowers(std::span<const Shower> showers) {
  if (image_.isNull() || plot_.width() < 4) return;
  std::memcpy(image_.bits(), dots_.constBits(), static_cast<std::size_t>(dots_.sizeInBytes()));
  if (showers.empty()) return;
  QPainter painter(&image_);
  painter.setFont(ChartLabelFont());
  painter.setClipRect(plot_);
  const int h = QFontMetrics(painter.font()).height();
  for (const Shower& shower : showers) {
    const QPoint p = PixelOf(shower.raDeg, shower.decDeg);
    painter.setPen(QPen(QColor::fromRgb(kMarkerColour), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QPointF(p), kMarkerRadius, kMarkerRadius);
    const QString label = QStringLiteral("%1°").arg(shower.lambdaSun, 0, 'f', 1);
    // Beside the ring, on the side with room.
    const bool leftSide = p.x() + kMarkerRadius + 60 > plot_.right();
    const QRect box = leftSide ? QRect(p.x() - kMarkerRadius - 64, p.y() - h / 2, 60, h)
                               : QRect(p.x() + kMarkerRadius + 4, p.y() - h / 2, 60, h);
    painter.drawText(box, int((leftSide ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter),
                     label);
  }
}

void RadiantMap::AddDots(const ShowerSummary& summary, int first) {
  for (int k = std::max(0, first); k < summary.DotCount(); ++k) AddDot(summary.Dot(k));
}

void RadiantMap::Redraw(const ShowerSummary& summary) {
  Clear();
  AddDots(summary, 0);
}

}  // namespace stelvo
