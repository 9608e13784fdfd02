#pragma once
// Where on the Earth an encounter can be watched: a plain equirectangular world map
// (longitude -180..180 east positive left to right, latitude up) shaded, for one
// instant, by the Sun's altitude (day, twilight, dark) and, where the sky is dark,
// by the radiant's altitude; coastlines from Natural Earth (data/coastline.h), a
// graticule every 30 degrees, the subsolar point and the point with the radiant
// overhead. The shower window draws it for the encounter picked, at its peak.

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

namespace stelvo {

// The sky at one instant, as the map needs it: directions in equatorial
// coordinates of date and the Greenwich sidereal time.
struct SkyAtInstant {
  double radiantRaDeg = 0, radiantDecDeg = 0;
  double sunRaDeg = 0, sunDecDeg = 0;
  double gmstDeg = 0;  // Greenwich sidereal time in degrees
};

// The sky at Julian date `jd` (taken as UT) for a radiant given in equatorial J2000:
// the radiant precessed to the date, the Sun's place and the sidereal time from
// meteors/site_sky.h and meteors/sun_moon.h.
SkyAtInstant SkyAt(double jd, double radiantRaJ2000Deg, double radiantDecJ2000Deg);

// The sky is dark enough for meteor counts once the Sun is 12 degrees below the
// horizon, the end of nautical twilight: from then on the zenith is within about a
// magnitude of full night, and bright outburst meteors are counted, as observers
// did at the storms of 1999-2002 from sites in late twilight. Requiring astronomical
// darkness (-18 degrees) would shade out places where an outburst was seen.
inline constexpr double kDarkSunAltitudeDeg = -12;

// How a place sees the sky at the instant.
enum class SiteSky { Day, Twilight, DarkRadiantDown, DarkRadiantUp };

// Sun above the horizon: day; above kDarkSunAltitudeDeg: twilight; else dark, with
// the radiant up or down.
SiteSky ClassifyAltitudes(double sunAltDeg, double radiantAltDeg);
SiteSky ClassifySite(double latDeg, double lonDeg, const SkyAtInstant& sky);

struct WorldMapTexts {
  QString title = QStringLiteral("Sichtbarkeit am Maximum, %1 UTC");  // the instant
  QString day = QStringLiteral("Tag");
  QString twilight = QStringLiteral("Dämmerung (Sonne über −12°)");
  QString radiantDown = QStringLiteral("dunkel, Radiant unter dem Horizont");
  QString radiantUp = QStringLiteral("dunkel, Radiant oben (heller: höher)");
  QString sunOverhead = QStringLiteral("Sonne im Zenit");
  QString radiantOverhead = QStringLiteral("Radiant im Zenit");
};

class WorldMap {
 public:
  // Allocates the image for a width x height picture (nothing for a zero size).
  void Resize(int width, int height);
  // Draws the map for the sky at Julian date `jd` (only written in the title).
  void Redraw(const SkyAtInstant& sky, double jd, const WorldMapTexts& texts);

  const QImage& Image() const { return image_; }
  // The map inside the image, 2:1; only the raster drawing lies inside it.
  QRect PlotArea() const { return plot_; }
  // The pixel of a place (nearest integer).
  QPoint PixelOf(double lonDeg, double latDeg) const;

 private:
  // Graticule, then the coastlines in black on light ground and white on dark.
  void DrawGraticuleAndCoasts();
  // Outside the map: the title, the graticule's labels, the legend.
  void DrawTexts(double jd, const WorldMapTexts& texts);

  QImage image_;
  QRect plot_;
};

// The map's colour of a place: fixed shades for day, twilight and a dark sky with
// the radiant down; a dark sky with the radiant up from a dim to a bright green as
// sin(altitude) grows.
QRgb SiteShade(SiteSky sky, double radiantAltDeg);

}  // namespace stelvo
