#include "view/world_map.h"

#include <QColor>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <vector>

#include "data/coastline.h"
#include "initial/constants.h"
#include "meteors/site_sky.h"
#include "initial/time_scale.h"
#include "meteors/sky_geometry.h"
#include "meteors/sun_moon.h"
#include "view/raster.h"
#include "view/sky_colours.h"

namespace stelvo {

namespace {

constexpr int kLeftMargin = 46;  // latitude labels
constexpr int kRightMargin = 24;  // room for the last longitude label
constexpr int kTopMargin = 24;      // title
constexpr int kBottomMargin = 84;   // longitude labels and the legend
constexpr int kGraticuleDeg = 30;
constexpr QRgb kDay = 0xffdfe4ecu;
constexpr QRgb kTwilight = 0xff98a4bcu;
constexpr QRgb kDarkDown = 0xff2a3350u;
constexpr QRgb kGraticule = 0xff707a90u;
constexpr QRgb kSunMark = 0xffffc800u;
constexpr QRgb kRadiantMark = 0xffff3030u;

bool Light(QRgb colour) { return qGray(colour) > 128; }

void FillDisc(QImage& image, const QRect& clip, QPoint centre, int radius, QRgb fill, QRgb rim) {
  for (int dy = -radius; dy <= radius; ++dy) {
    for (int dx = -radius; dx <= radius; ++dx) {
      const int r2 = dx * dx + dy * dy;
      if (r2 > radius * radius) continue;
      const int x = centre.x() + dx, y = centre.y() + dy;
      if (!clip.contains(x, y)) continue;
      reinterpret_cast<QRgb*>(image.scanLine(y))[x] =
          r2 > (radius - 1) * (radius - 1) ? rim : fill;
    }
  }
}

void DrawSunMark(QImage& image, const QRect& clip, QPoint centre) {
  FillDisc(image, clip, centre, 6, kSunMark, 0xff000000u);
}

// A cross two pixels thick, 13 pixels across.
void DrawRadiantMark(QImage& image, const QRect& clip, QPoint centre) {
  for (int d = -6; d <= 6; ++d) {
    for (int t = 0; t <= 1; ++t) {
      for (const QPoint p : {QPoint(centre.x() + d, centre.y() + t), QPoint(centre.x() + t, centre.y() + d)}) {
        if (clip.contains(p)) reinterpret_cast<QRgb*>(image.scanLine(p.y()))[p.x()] = kRadiantMark;
      }
    }
  }
}

}  // namespace

SkyAtInstant SkyAt(double jd, double radiantRaJ2000Deg, double radiantDecJ2000Deg) {
  SkyAtInstant sky;
  sky.radiantRaDeg = radiantRaJ2000Deg;
  sky.radiantDecDeg = radiantDecJ2000Deg;
  PrecessFromJ2000(jd, sky.radiantRaDeg, sky.radiantDecDeg);
  const SkyPlace sun = SunPlace(jd);
  sky.sunRaDeg = sun.raDeg;
  sky.sunDecDeg = sun.decDeg;
  sky.gmstDeg = GreenwichSiderealDeg(jd);
  return sky;
}

SiteSky ClassifyAltitudes(double sunAltDeg, double radiantAltDeg) {
  if (sunAltDeg > 0) return SiteSky::Day;
  if (sunAltDeg > kDarkSunAltitudeDeg) return SiteSky::Twilight;
  return radiantAltDeg > 0 ? SiteSky::DarkRadiantUp : SiteSky::DarkRadiantDown;
}

SiteSky ClassifySite(double latDeg, double lonDeg, const SkyAtInstant& sky) {
  const Site site{latDeg, lonDeg};
  return ClassifyAltitudes(AltitudeDeg(site, sky.gmstDeg, sky.sunRaDeg, sky.sunDecDeg),
                           AltitudeDeg(site, sky.gmstDeg, sky.radiantRaDeg, sky.radiantDecDeg));
}

QRgb SiteShade(SiteSky sky, double radiantAltDeg) {
  switch (sky) {
    case SiteSky::Day:
      return kDay;
    case SiteSky::Twilight:
      return kTwilight;
    case SiteSky::DarkRadiantDown:
      return kDarkDown;
    case SiteSky::DarkRadiantUp:
      break;
  }
  const double t = std::clamp(std::sin(radiantAltDeg * kDegToRad), 0.0, 1.0);
  auto mix = [t](int low, int high) { return int(std::lrint(low + t * (high - low))); };
  return qRgb(mix(30, 90), mix(80, 215), mix(60, 110));
}

void WorldMap::Resize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (image_.width() == width && image_.height() == height) return;
  image_ = width > 0 && height > 0 ? QImage(width, height, QImage::Format_RGB32) : QImage();
  // The map keeps the 2:1 shape of 360 by 180 degrees in the room the margins leave.
  const int roomW = std::max(2, width - kLeftMargin - kRightMargin);
  const int roomH = std::max(1, height - kTopMargin - kBottomMargin);
  const int plotH = std::max(1, std::min(roomH, roomW / 2));
  plot_ = QRect(kLeftMargin + (roomW - 2 * plotH) / 2, kTopMargin, 2 * plotH, plotH);
}

QPoint WorldMap::PixelOf(double lonDeg, double latDeg) const {
  const double x = plot_.left() + (lonDeg + 180.0) / 360.0 * (plot_.width() - 1);
  const double y = plot_.top() + (90.0 - latDeg) / 180.0 * (plot_.height() - 1);
  return {int(std::lrint(x)), int(std::lrint(y))};
}

void WorldMap::Redraw(const SkyAtInstant& sky, double jd, const WorldMapTexts& texts) {
  if (image_.isNull()) return;
  image_.fill(kChartMargin);
  const int w = plot_.width(), h = plot_.height();
  if (w < 4 || h < 2) return;

  // Each pixel's centre is a place. The sum of meteors' AltitudeDeg, split: the hour-angle terms
  // depend on the column only and the latitude terms on the row only.
  const double sunDec = sky.sunDecDeg * kDegToRad, radDec = sky.radiantDecDeg * kDegToRad;
  std::vector<double> sunCos(std::size_t(w), 0.0), radCos(std::size_t(w), 0.0);
  for (int x = 0; x < w; ++x) {
    const double lon = -180.0 + 360.0 * x / (w - 1);
    sunCos[std::size_t(x)] =
        std::cos(sunDec) * std::cos((sky.gmstDeg + lon - sky.sunRaDeg) * kDegToRad);
    radCos[std::size_t(x)] =
        std::cos(radDec) * std::cos((sky.gmstDeg + lon - sky.radiantRaDeg) * kDegToRad);
  }
  for (int y = 0; y < h; ++y) {
    const double lat = (90.0 - 180.0 * y / (h - 1)) * kDegToRad;
    const double sinLat = std::sin(lat), cosLat = std::cos(lat);
    auto* row = reinterpret_cast<QRgb*>(image_.scanLine(plot_.top() + y)) + plot_.left();
    for (int x = 0; x < w; ++x) {
      const double sinSun = sinLat * std::sin(sunDec) + cosLat * sunCos[std::size_t(x)];
      const double sinRad = sinLat * std::sin(radDec) + cosLat * radCos[std::size_t(x)];
      const double sunAlt = std::asin(std::clamp(sinSun, -1.0, 1.0)) / kDegToRad;
      const double radiantAlt = std::asin(std::clamp(sinRad, -1.0, 1.0)) / kDegToRad;
      row[x] = SiteShade(ClassifyAltitudes(sunAlt, radiantAlt), radiantAlt);
    }
  }

  DrawGraticuleAndCoasts();
  // The subsolar point and the point with the radiant at the zenith.
  DrawSunMark(image_, plot_, PixelOf(DegreesBetween(sky.sunRaDeg, sky.gmstDeg), sky.sunDecDeg));
  DrawRadiantMark(image_, plot_,
                  PixelOf(DegreesBetween(sky.radiantRaDeg, sky.gmstDeg), sky.radiantDecDeg));

  DrawTexts(jd, texts);
}

void WorldMap::DrawGraticuleAndCoasts() {
  // Graticule, then the coastlines in black on light ground and white on dark.
  for (int lon = -180; lon <= 180; lon += kGraticuleDeg) {
    const int x = PixelOf(lon, 0).x();
    for (int y = plot_.top(); y <= plot_.bottom(); y += 2) {
      reinterpret_cast<QRgb*>(image_.scanLine(y))[x] = kGraticule;
    }
  }
  for (int lat = -90; lat <= 90; lat += kGraticuleDeg) {
    const int y = PixelOf(0, lat).y();
    auto* line = reinterpret_cast<QRgb*>(image_.scanLine(y));
    for (int x = plot_.left(); x <= plot_.right(); x += 2) line[x] = kGraticule;
  }
  const QImage ground = image_.copy(plot_);
  QImage coast(image_.size(), QImage::Format_RGB32);
  coast.fill(0);
  for (int k = 0; k < CoastLineCount(); ++k) {
    const auto points = CoastLine(k);
    for (std::size_t i = 1; i < points.size(); ++i) {
      const CoastPoint a = points[i - 1], b = points[i];
      if (std::abs(a.lon - b.lon) > 18000) continue;  // across the date line
      const QPoint p = PixelOf(a.lon / 100.0, a.lat / 100.0);
      const QPoint q = PixelOf(b.lon / 100.0, b.lat / 100.0);
      DrawLineExcludingEnd(coast, p.x(), p.y(), q.x(), q.y(), 0xffffffffu);
    }
  }
  for (int y = plot_.top(); y <= plot_.bottom(); ++y) {
    const auto* mask = reinterpret_cast<const QRgb*>(coast.constScanLine(y));
    const auto* under = reinterpret_cast<const QRgb*>(ground.constScanLine(y - plot_.top()));
    auto* line = reinterpret_cast<QRgb*>(image_.scanLine(y));
    for (int x = plot_.left(); x <= plot_.right(); ++x) {
      if ((mask[x] & 0xffffffu) == 0) continue;
      line[x] = Light(under[x - plot_.left()]) ? 0xff000000u : 0xffffffffu;
    }
  }
}

void WorldMap::DrawTexts(double jd, const WorldMapTexts& texts) {
  // Texts outside the map: the title, the graticule's labels, the legend.
  QPainter painter(&image_);
  painter.setFont(ChartLabelFont());
  const QFontMetrics metrics(painter.font());
  const int th = metrics.height();
  painter.setPen(QColor::fromRgb(kChartText));
  painter.drawRect(plot_.adjusted(-1, -1, 0, 0));
  TimeText when{};
  FormatUtc(jd, when);
  if (char* t = std::strchr(when.data(), 'T')) *t = ' ';
  painter.drawText(QRect(plot_.left(), 4, plot_.width(), th), Qt::AlignLeft | Qt::AlignTop,
                   texts.title.arg(QString::fromLatin1(when.data())));
  for (int lon = -180; lon <= 180; lon += 2 * kGraticuleDeg) {
    const int x = PixelOf(lon, 0).x();
    const QString label = lon == 0 ? QStringLiteral("0°")
                          : lon > 0 ? QStringLiteral("%1°E").arg(lon)
                                    : QStringLiteral("%1°W").arg(-lon);
    painter.drawText(QRect(x - 30, plot_.bottom() + 3, 60, th), Qt::AlignHCenter | Qt::AlignTop,
                     label);
  }
  for (int lat = -60; lat <= 60; lat += kGraticuleDeg) {
    const int y = PixelOf(0, lat).y();
    const QString label = lat == 0 ? QStringLiteral("0°")
                          : lat > 0 ? QStringLiteral("%1°N").arg(lat)
                                    : QStringLiteral("%1°S").arg(-lat);
    painter.drawText(QRect(0, y - th / 2, plot_.left() - 5, th), Qt::AlignRight | Qt::AlignVCenter,
                     label);
  }
  // The legend: two rows of swatches with their meaning.
  const struct {
    QRgb colour;
    const QString& text;
  } entries[4] = {{kDay, texts.day},
                  {kTwilight, texts.twilight},
                  {kDarkDown, texts.radiantDown},
                  {SiteShade(SiteSky::DarkRadiantUp, 45), texts.radiantUp}};
  const int columnWidth = std::max(1, plot_.width() / 2);
  auto legendBox = [&](int i) {
    return QRect(plot_.left() + (i % 2) * columnWidth, plot_.bottom() + 6 + th + (i / 2) * (th + 4),
                 columnWidth, th);
  };
  for (int i = 0; i < 4; ++i) {
    const QRect box = legendBox(i);
    painter.fillRect(QRect(box.left(), box.top() + 2, 14, th - 4), QColor::fromRgb(entries[i].colour));
    painter.drawRect(QRect(box.left(), box.top() + 2, 14, th - 4));
    painter.drawText(box.adjusted(20, 0, -4, 0), Qt::AlignLeft | Qt::AlignVCenter, entries[i].text);
  }
  painter.end();
  // The marks as on the map, drawn into the legend's last row.
  const QRect sunBox = legendBox(4), radiantBox = legendBox(5);
  DrawSunMark(image_, sunBox, QPoint(sunBox.left() + 7, sunBox.center().y()));
  DrawRadiantMark(image_, radiantBox, QPoint(radiantBox.left() + 7, radiantBox.center().y()));
  painter.begin(&image_);
  painter.setFont(ChartLabelFont());
  painter.setPen(QColor::fromRgb(kChartText));
  painter.drawText(sunBox.adjusted(20, 0, -4, 0), Qt::AlignLeft | Qt::AlignVCenter, texts.sunOverhead);
  painter.drawText(radiantBox.adjusted(20, 0, -4, 0), Qt::AlignLeft | Qt::AlignVCenter,
                   texts.radiantOverhead);
}

}  // namespace stelvo
