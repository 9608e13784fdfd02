#include "view/zhr_profile.h"

#include <QColor>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "view/chart_frame.h"
#include "view/sky_colours.h"

namespace stelvo {

namespace {

// The trail map's side margins, so that the time axes line up; the title above.
constexpr ChartMargins kMargins{80, 52, 24, 44};
constexpr QRgb kFill = 0xffb8cdeeu;
constexpr QRgb kCurve = 0xff0a2890u;
constexpr QRgb kHalfLevel = 0xff1f7a3au;
constexpr QRgb kSigmaBar = 0xff202020u;

}  // namespace

double ProfileZhrAt(std::span<const ProfilePoint> profile, double jd) {
  const auto after = std::lower_bound(profile.begin(), profile.end(), jd,
                                      [](const ProfilePoint& p, double t) { return p.jd < t; });
  if (after == profile.end() || after == profile.begin()) {
    return after != profile.end() && after->jd == jd ? after->zhr : 0;
  }
  const ProfilePoint& a = *(after - 1);
  const ProfilePoint& b = *after;
  const double u = b.jd > a.jd ? (jd - a.jd) / (b.jd - a.jd) : 0;
  return a.zhr + u * (b.zhr - a.zhr);
}

void ZhrProfile::Resize(int width, int height) {
  ResizeChart(image_, plot_, width, height, kMargins);
}

QPoint ZhrProfile::PixelOf(double jd, double zhr) const {
  const double y = plot_.bottom() - zhr / scaleTop_ * (plot_.height() - 1);
  return {TimeColumn(plot_, span_, jd), int(std::lrint(y))};
}

void ZhrProfile::Redraw(const TrailEncounter& encounter, const ZhrProfileTexts& texts) {
  if (image_.isNull()) return;
  span_ = EncounterTimeSpan(encounter);
  const auto& profile = encounter.profile;
  double largest = encounter.zhr + encounter.zhrSigma;
  const ProfilePoint* top = nullptr;
  for (const ProfilePoint& p : profile) {
    largest = std::max(largest, p.zhr);
    if (top == nullptr || p.zhr > top->zhr) top = &p;
  }
  const double step = RoundAxisStep(std::max(largest, 1.0), 4);
  const int steps = std::max(1, int(std::ceil(std::max(largest, 1.0) / step - 1e-9)));
  scaleTop_ = steps * step;

  FillChart(image_, plot_);
  DrawTimeGrid(image_, plot_, span_, kChartGridLine);
  for (int k = 1; k < steps; ++k) {
    DrawPlotRow(image_, plot_, PixelOf(span_.firstJd, k * step).y(), kChartGridLine);
  }
  // The curve column by column: filled below, its top two pixels dark; the columns
  // above half the maximum, joined to the maximum, carry the half level.
  const double half = top != nullptr ? top->zhr / 2 : 0;
  const int topX = top != nullptr ? TimeColumn(plot_, span_, top->jd) : plot_.left();
  std::vector<double> zhrAt(std::size_t(plot_.width()), 0.0);
  for (int x = plot_.left(); x <= plot_.right(); ++x) {
    const double jd = span_.firstJd + double(x - plot_.left()) / std::max(1, plot_.width() - 1) *
                                          (span_.lastJd - span_.firstJd);
    zhrAt[std::size_t(x - plot_.left())] = ProfileZhrAt(profile, jd);
  }
  int halfFrom = topX, halfTo = topX;
  while (halfFrom > plot_.left() && zhrAt[std::size_t(halfFrom - 1 - plot_.left())] >= half) --halfFrom;
  while (halfTo < plot_.right() && zhrAt[std::size_t(halfTo + 1 - plot_.left())] >= half) ++halfTo;
  for (int x = plot_.left(); x <= plot_.right(); ++x) {
    const double zhr = zhrAt[std::size_t(x - plot_.left())];
    if (!(zhr > 0)) continue;
    const int y = std::max(plot_.top(), PixelOf(span_.firstJd, zhr).y());
    for (int yy = y + 2; yy <= plot_.bottom(); ++yy) PutPixel(image_, plot_, x, yy, kFill);
    PutPixel(image_, plot_, x, y, kCurve);
    PutPixel(image_, plot_, x, y + 1, kCurve);
  }
  if (top != nullptr && top->zhr > 0) {
    const int y = PixelOf(span_.firstJd, half).y();
    for (int x = halfFrom; x <= halfTo; ++x) {
      if ((x - halfFrom) % 6 < 4) PutPixel(image_, plot_, x, y, kHalfLevel);
    }
  }
  DrawPeakLine(image_, plot_, TimeColumn(plot_, span_, encounter.peakJd));
  if (top != nullptr && encounter.zhrSigma > 0) {
    const int y0 = PixelOf(span_.firstJd, std::max(0.0, encounter.zhr - encounter.zhrSigma)).y();
    const int y1 = PixelOf(span_.firstJd, encounter.zhr + encounter.zhrSigma).y();
    for (int y = y1; y <= y0; ++y) PutPixel(image_, plot_, topX, y, kSigmaBar);
    for (int dx = -4; dx <= 4; ++dx) {
      PutPixel(image_, plot_, topX + dx, y0, kSigmaBar);
      PutPixel(image_, plot_, topX + dx, y1, kSigmaBar);
    }
  }

  QPainter painter(&image_);
  const int h = SetUpChartLabels(painter);
  DrawPlotFrame(painter, plot_);
  painter.drawText(QRect(plot_.left(), 4, plot_.width(), h), Qt::AlignLeft | Qt::AlignTop,
                   texts.title.arg(encounter.zhr, 0, 'f', 0)
                       .arg(encounter.zhrSigma, 0, 'f', 0)
                       .arg(encounter.fwhmMin, 0, 'f', 0)
                       .arg(encounter.peakSigmaMin, 0, 'f', 1));
  DrawTimeAxis(painter, plot_, span_, texts.time);
  DrawVerticalTitle(painter, plot_, texts.zhr);
  for (int k = 0; k <= steps; ++k) {
    const int y = PixelOf(span_.firstJd, k * step).y();
    painter.drawLine(plot_.left() - 5, y, plot_.left() - 2, y);
    painter.drawText(QRect(0, y - h / 2, plot_.left() - 8, h), Qt::AlignRight | Qt::AlignVCenter,
                     QString::number(k * step, 'g', 6));
  }
  if (profile.empty()) painter.drawText(plot_, Qt::AlignCenter, texts.empty);
}

}  // namespace stelvo
