#include "view/background.h"

#include <cmath>

#include "initial/constants.h"
#include "initial/orbit.h"
#include "view/projection.h"
#include "view/raster.h"
#include "view/scene_colours.h"

namespace stelvo {

namespace {

constexpr int kFirstPlanet = 2, kLastPlanet = 9;

// Mean elements in degrees, as the table is written.
constexpr std::array<OrbitRow, 10> kOrbitTableDegrees = {{
    {},
    {},
    {0.38709f, 0.20563f, 7.004f, 48.14f, 29.06f},    // Mercury
    {0.72332f, 0.00676f, 3.394f, 78.53f, 54.91f},    // Venus
    {1.0f, 0.01676f, 0.0f, 0.0f, 102.58f},           // Earth-Moon barycentre
    {1.52362f, 0.09339f, 1.849f, 49.43f, 286.36f},   // Mars
    {5.20288f, 0.04802f, 1.305f, 100.33f, 275.02f},  // Jupiter
    {9.57135f, 0.05085f, 2.485f, 113.52f, 340.86f},  // Saturn
    {19.3125f, 0.04857f, 0.773f, 73.98f, 103.49f},   // Uranus
    {30.2834f, 0.00554f, 1.771f, 131.59f, 221.2f},   // Neptune
}};

float ToRadians(float degrees) { return static_cast<float>(degrees * kDegToRad); }

struct OrbitPoint {
  double x, y, z;
};

// One orbit of the table in double precision, the sines and cosines of its
// inclination and node taken once (the same values at every point).
class OrbitCurve {
 public:
  explicit OrbitCurve(const OrbitRow& row)
      : a_(row.a),
        e_(row.e),
        w_(row.argPeri),
        cosI_(std::cos(double{row.incl})),
        sinI_(std::sin(double{row.incl})),
        cosN_(std::cos(double{row.node})),
        sinN_(std::sin(double{row.node})) {}

  // The point at mean anomaly M (radians).
  OrbitPoint At(double meanAnomaly) const {
    const double e = e_;
    const double eccAnomaly = SolveKepler(meanAnomaly, e);
    const double v = 2 * std::atan(std::sqrt((1 + e) / (1 - e)) * std::sin(eccAnomaly / 2) /
                                   std::cos(eccAnomaly / 2));
    const double r = a_ * (1 - e * e) / (1 + e * std::cos(v));
    const double u = v + w_;
    const double x1 = r * std::cos(u), y1 = r * std::sin(u), z1 = 0;
    const double y2 = y1 * cosI_ - z1 * sinI_;
    const double z2 = y1 * sinI_ + z1 * cosI_;
    return {x1 * cosN_ - y2 * sinN_, x1 * sinN_ + y2 * cosN_, z2};
  }

 private:
  double a_, e_, w_, cosI_, sinI_, cosN_, sinN_;
};

}  // namespace

PlanetOrbits MakePlanetOrbits() {
  PlanetOrbits orbits;
  orbits.rows = kOrbitTableDegrees;
  for (int n = kFirstPlanet; n <= kLastPlanet; ++n) {
    OrbitRow& row = orbits.rows[n];
    row.incl = ToRadians(row.incl);
    row.node = ToRadians(row.node);
    row.argPeri = ToRadians(row.argPeri);
  }
  return orbits;
}

PlanetTicks StartPlanetTicks() {
  PlanetTicks ticks{};
  ticks[1] = ticks[4] = ticks[6] = true;
  return ticks;
}

std::array<OrbitVertex, kOrbitPoints> OrbitVertices(const OrbitRow& row, const ViewState& view) {
  const Projection projection(view);
  const OrbitCurve orbit(row);
  std::array<OrbitVertex, kOrbitPoints> vertices;
  for (int k = 0; k < kOrbitPoints; ++k) {
    const OrbitPoint p = orbit.At(5 * k * kDegToRad);
    vertices[k] = {projection.Pixel(p.x, p.y, p.z), p.z >= 0};
  }
  return vertices;
}

void DrawBackground(QImage& background, const ViewState& view, const PlanetOrbits& orbits,
                    const PlanetTicks& ticks) {
  if (background.isNull()) return;
  background.fill(kSilver);
  for (int n = kFirstPlanet; n <= kLastPlanet; ++n) {
    if (!ticks[n]) continue;
    const auto vertices = OrbitVertices(orbits.rows[n], view);
    for (int k = 1; k < kOrbitPoints; ++k) {
      const PixelPoint from = vertices[k - 1].pixel, to = vertices[k].pixel;
      DrawLineExcludingEnd(background, from.x, from.y, to.x, to.y,
                           vertices[k].above ? kBlack : kRed);
    }
  }
}

}  // namespace stelvo
