#pragma once
// The orbit background: a silver area with the Keplerian orbits of the ticked planets
// as closed polylines of 73 points. Drawn whenever the view or the planet selection
// changes; every run frame copies it instead of computing the orbits again.

#include <QImage>
#include <array>

#include "view/projection.h"
#include "view/view_state.h"

namespace stelvo {

// One row of mean orbital elements, single precision: a in AU, e, and the angles
// i, N, w (degrees in the source table, radians once converted).
struct OrbitRow {
  float a = 0, e = 0, incl = 0, node = 0, argPeri = 0;
};

// Rows 2 to 9 by planet body number (Mercury ... Neptune); rows 0 and 1 are unused.
struct PlanetOrbits {
  std::array<OrbitRow, 10> rows{};
};

// The table with its angles converted to radians once, each stored back in single
// precision.
PlanetOrbits MakePlanetOrbits();

// The planet check boxes by body number: index 1 the Sun (drawn in run frames only),
// 2 to 9 the planets; index 0 is unused.
using PlanetTicks = std::array<bool, 10>;

// The start-up selection: the Sun, the Earth-Moon barycentre and Jupiter.
PlanetTicks StartPlanetTicks();

inline constexpr int kOrbitPoints = 73;  // mean anomaly 0, 5, ..., 360 degrees

// One polyline vertex of an orbit: its pixel, and whether its Z is >= 0 (the segment
// ending there is then black).
struct OrbitVertex {
  PixelPoint pixel;
  bool above = false;
};

// The vertices of one row's orbit under the view. A row with an eccentricity outside
// [0, 1) throws OrbitError.
std::array<OrbitVertex, kOrbitPoints> OrbitVertices(const OrbitRow& row, const ViewState& view);

// Fills `background` silver and draws the ticked planets' orbits through the view's
// projection, each segment black if its end point has Z >= 0 and red below. The
// image must be of the scene format; lines are clipped to it. A row with an
// eccentricity outside [0, 1) throws OrbitError (the built-in table has none).
void DrawBackground(QImage& background, const ViewState& view, const PlanetOrbits& orbits,
                    const PlanetTicks& ticks);

}  // namespace stelvo
