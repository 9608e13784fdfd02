#include "meteors/moid.h"

#include <cmath>
#include <map>
#include <mutex>

#include "core/run_error.h"
#include "data/comet_epochs.h"
#include "initial/constants.h"
#include "initial/planets.h"
#include "meteors/comet_passages.h"
#include "meteors/two_body.h"
#include "run/epoch_state.h"

namespace stelvo {

namespace {

constexpr int kEarthRow = 3;  // the Earth-Moon barycentre
constexpr int kScanA = 72;    // points on the first orbit (the Earth's, nearly a circle)
constexpr int kScanB = 360;   // points on the second

struct Vec {
  double x, y, z;
};
Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
double Dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// An ellipse in space: r(E) = a (cos E - e) P + b sin E Q with P towards the
// perihelion and Q 90 degrees ahead in the orbit plane.
struct Ellipse {
  double a, b, e;
  Vec p, q;

  explicit Ellipse(const OrbitShape& o) {
    if (!(o.ecc >= 0 && o.ecc < 1 && o.q > 0)) throw RunError("The MOID needs elliptic orbits");
    e = o.ecc;
    a = o.q / (1 - e);
    b = a * std::sqrt(1 - e * e);
    const double cw = std::cos(o.argPeri), sw = std::sin(o.argPeri);
    const double cn = std::cos(o.node), sn = std::sin(o.node);
    const double ci = std::cos(o.incl), si = std::sin(o.incl);
    p = {cw * cn - sw * sn * ci, cw * sn + sw * cn * ci, sw * si};
    q = {-sw * cn - cw * sn * ci, -sw * sn + cw * cn * ci, cw * si};
  }
  Vec At(double E) const {
    const double u = a * (std::cos(E) - e), v = b * std::sin(E);
    return {u * p.x + v * q.x, u * p.y + v * q.y, u * p.z + v * q.z};
  }
  Vec Slope(double E) const {  // dr/dE
    const double u = -a * std::sin(E), v = b * std::cos(E);
    return {u * p.x + v * q.x, u * p.y + v * q.y, u * p.z + v * q.z};
  }
  Vec Curve(double E) const {  // d2r/dE2
    const double u = -a * std::cos(E), v = -b * std::sin(E);
    return {u * p.x + v * q.x, u * p.y + v * q.y, u * p.z + v * q.z};
  }
};

double EccentricFromTrue(double nu, double e) {
  return 2 * std::atan(std::sqrt((1 - e) / (1 + e)) * std::tan(nu / 2));
}

double Squared(const Ellipse& A, double ea, const Ellipse& B, double eb) {
  const Vec d = A.At(ea) - B.At(eb);
  return Dot(d, d);
}

// Newton's method on the gradient of f = |rA - rB|^2 / 2 from a scan minimum,
// each step halved until f falls, so that it never climbs out of the basin.
MoidResult Refine(const Ellipse& A, const Ellipse& B, double ea, double eb) {
  double f = Squared(A, ea, B, eb);
  for (int iteration = 0; iteration < 60; ++iteration) {
    const Vec d = A.At(ea) - B.At(eb);
    const Vec sa = A.Slope(ea), sb = B.Slope(eb);
    const double ga = Dot(d, sa), gb = -Dot(d, sb);
    const double haa = Dot(sa, sa) + Dot(d, A.Curve(ea));
    const double hbb = Dot(sb, sb) - Dot(d, B.Curve(eb));
    const double hab = -Dot(sa, sb);
    const double det = haa * hbb - hab * hab;
    double da = 0, db = 0;
    if (haa > 0 && det > 0) {
      da = -(hbb * ga - hab * gb) / det;
      db = -(haa * gb - hab * ga) / det;
    } else {  // not convex here: a gradient step scaled by the curvature's size
      da = -ga / (std::fabs(haa) + 1e-12);
      db = -gb / (std::fabs(hbb) + 1e-12);
    }
    bool improved = false;
    for (int halving = 0; halving < 40; ++halving) {
      const double trial = Squared(A, ea + da, B, eb + db);
      if (trial <= f) {
        ea += da;
        eb += db;
        improved = trial < f;
        f = trial;
        break;
      }
      da /= 2;
      db /= 2;
    }
    if (!improved || (std::fabs(da) < 1e-14 && std::fabs(db) < 1e-14)) break;
  }
  return {std::sqrt(f), std::remainder(ea, 2 * kPi), std::remainder(eb, 2 * kPi)};
}

double SunGM() { return kMassiveBodies[0].gm; }

}  // namespace

MoidResult MinimumOrbitDistance(const OrbitShape& a, const OrbitShape& b) {
  const Ellipse A(a), B(b);
  std::vector<double> anglesA(kScanA), anglesB(kScanB);
  std::vector<Vec> pointsA(kScanA), pointsB(kScanB);
  for (int i = 0; i < kScanA; ++i) {
    anglesA[i] = 2 * kPi * i / kScanA - kPi;
    pointsA[i] = A.At(anglesA[i]);
  }
  for (int j = 0; j < kScanB; ++j) {
    // Even in true anomaly, skipping the aphelion's singular tangent.
    anglesB[j] = EccentricFromTrue(2 * kPi * (j + 0.5) / kScanB - kPi, B.e);
    pointsB[j] = B.At(anglesB[j]);
  }
  std::vector<double> grid(static_cast<std::size_t>(kScanA) * kScanB);
  for (int i = 0; i < kScanA; ++i) {
    for (int j = 0; j < kScanB; ++j) {
      const Vec d = pointsA[i] - pointsB[j];
      grid[i * kScanB + j] = Dot(d, d);
    }
  }
  MoidResult best{INFINITY, 0, 0};
  for (int i = 0; i < kScanA; ++i) {
    for (int j = 0; j < kScanB; ++j) {
      const double f = grid[i * kScanB + j];
      bool minimum = true;
      for (int di = -1; di <= 1 && minimum; ++di) {
        for (int dj = -1; dj <= 1; ++dj) {
          if (di == 0 && dj == 0) continue;
          const int ni = (i + di + kScanA) % kScanA, nj = (j + dj + kScanB) % kScanB;
          const double g = grid[ni * kScanB + nj];
          // Ties go to the first in scan order, so that a flat valley is refined once.
          if (g < f || (g == f && ni * kScanB + nj < i * kScanB + j)) {
            minimum = false;
            break;
          }
        }
      }
      if (!minimum) continue;
      const MoidResult r = Refine(A, B, anglesA[i], anglesB[j]);
      if (r.au < best.au) best = r;
    }
  }
  return best;
}

OrbitShape EarthOrbitAt(double jd) {
  static std::mutex mutex;
  static std::map<double, OrbitShape> known;  // the catalogue has a few epochs only
  std::lock_guard<std::mutex> lock(mutex);
  if (const auto found = known.find(jd); found != known.end()) return found->second;
  const MassiveStates bodies = MassiveBodiesAt(jd);
  const StateVector& sun = bodies[0];
  const StateVector& emb = bodies[kEarthRow];
  const StateVector helio{emb.x - sun.x,   emb.y - sun.y,   emb.z - sun.z,
                          emb.vx - sun.vx, emb.vy - sun.vy, emb.vz - sun.vz};
  const OsculatingElements el =
      StateToElements(helio, SunGM() + kMassiveBodies[kEarthRow].gm);
  const OrbitShape shape{el.a * (1 - el.ecc), el.ecc, el.incl, el.node, el.argPeri};
  known.emplace(jd, shape);
  return shape;
}

OrbitShape CometOrbitShape(int cometIndex) {
  if (cometIndex < 0 || cometIndex >= kCometCount) {
    throw RunError("The comet index must lie between 0 and 587");
  }
  const CometEpochElements& e = kCometEpochs[cometIndex];
  return {e.q, e.ecc, e.inclDeg * kDegToRad, e.nodeDeg * kDegToRad, e.argPeriDeg * kDegToRad};
}

double CometEarthMoid(int cometIndex) {
  const OrbitShape comet = CometOrbitShape(cometIndex);
  double epoch = CometEpochJD(cometIndex);
  if (!(epoch >= kEarliestEpochJD && epoch < kLatestEpochJD)) epoch = 2451545.0;  // J2000
  return MinimumOrbitDistance(EarthOrbitAt(epoch), comet).au;
}

std::vector<CometMoid> CometsNearEarthOrbit(double maxAu) {
  std::vector<CometMoid> out;
  for (int k = 0; k < kCometCount; ++k) {
    const double moid = CometEarthMoid(k);
    if (moid <= maxAu) out.push_back({k, moid});
  }
  return out;
}

}  // namespace stelvo
