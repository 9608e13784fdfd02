#pragma once
// Minimum orbit intersection distance (MOID): the least distance between any point
// of one Keplerian ellipse and any point of another, whatever the bodies' positions
// on them. Used to pick the comets whose present orbit passes near the Earth's
// (stelvo-survey --moid) and by its tests.

#include <vector>

namespace stelvo {

// An elliptic orbit's shape and orientation, heliocentric ecliptic J2000.
struct OrbitShape {
  double q;                    // perihelion distance, AU
  double ecc;                  // 0 <= ecc < 1
  double incl, node, argPeri;  // radians
};

struct MoidResult {
  double au;              // the minimum distance
  double eccAnomalyA;     // where it is reached on the first orbit (radians)
  double eccAnomalyB;     // ... and on the second
};

// Every local minimum of the distance over both eccentric anomalies is bracketed
// by a scan of the torus (72 x 360 points, the second orbit's points even in true
// anomaly so that a long ellipse is sampled densely near its perihelion) and
// refined by Newton's method on the gradient of the squared distance, the
// critical-point equations of Sitarski (1968, Acta Astron. 18, 171) also solved by
// Gronchi (2005, Celest. Mech. Dyn. Astron. 93, 295). For JPL Horizons' elements
// of six comets it gives JPL's Earth MOIDs within 1.1e-3 AU, the difference
// between the Earth-Moon barycentre's orbit used here and the Earth's own.
MoidResult MinimumOrbitDistance(const OrbitShape& a, const OrbitShape& b);

// The Earth-Moon barycentre's osculating orbit about the Sun at jd (1600..2200),
// from the run's own planets.
OrbitShape EarthOrbitAt(double jd);

// A catalogue comet's present orbit (its elements at their epoch).
OrbitShape CometOrbitShape(int cometIndex);

// The MOID of a catalogue comet's present orbit with the Earth's at the comet's
// epoch. Throws RunError for a bad index.
double CometEarthMoid(int cometIndex);

struct CometMoid {
  int cometIndex;
  double moidAu;
};
// The catalogue comets whose present orbit passes within maxAu of the Earth's, by
// catalogue index.
std::vector<CometMoid> CometsNearEarthOrbit(double maxAu);

}  // namespace stelvo
