#include "meteors/crossing_detector.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "meteors/sky_geometry.h"

namespace stelvo {

namespace {

constexpr int kSunRow = 0;
constexpr int kEarthRow = 3;  // the Earth-Moon barycentre, body 4

Vec3 Sub(const Vec3& a, const Vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 Scale(const Vec3& a, double f) { return {a.x * f, a.y * f, a.z * f}; }
double Dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3 CrossProduct(const Vec3& a, const Vec3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double Norm(const Vec3& a) { return std::sqrt(Dot(a, a)); }

Vec3 PosAt(const RunState& s, int slot, int row) {
  return {s.Pos(kX, slot)[row], s.Pos(kY, slot)[row], s.Pos(kZ, slot)[row]};
}
Vec3 VelAt(const RunState& s, int slot, int row) {
  return {s.Vel(kX, slot)[row], s.Vel(kY, slot)[row], s.Vel(kZ, slot)[row]};
}

// A body's heliocentric motion over the step, as the cubic Hermite polynomial
// through its positions and velocities at both ends, in the step fraction u.
struct HermiteArc {
  Vec3 p0, p1, m0, m1;  // positions, and velocities times the step width

  HermiteArc(const RunState& s, int row) {
    const double h = s.StepDays;
    p0 = Sub(PosAt(s, kAcceptedSlot, row), PosAt(s, kAcceptedSlot, kSunRow));
    p1 = Sub(PosAt(s, kNewSlot, row), PosAt(s, kNewSlot, kSunRow));
    m0 = Scale(Sub(VelAt(s, kAcceptedSlot, row), VelAt(s, kAcceptedSlot, kSunRow)), h);
    m1 = Scale(Sub(VelAt(s, kNewSlot, row), VelAt(s, kNewSlot, kSunRow)), h);
  }

  static double Value(double u, double p0, double m0, double p1, double m1) {
    const double u2 = u * u, u3 = u2 * u;
    return (2 * u3 - 3 * u2 + 1) * p0 + (u3 - 2 * u2 + u) * m0 + (3 * u2 - 2 * u3) * p1 +
           (u3 - u2) * m1;
  }
  // Derivative with respect to u.
  static double Slope(double u, double p0, double m0, double p1, double m1) {
    const double u2 = u * u;
    return (6 * u2 - 6 * u) * p0 + (3 * u2 - 4 * u + 1) * m0 + (6 * u - 6 * u2) * p1 +
           (3 * u2 - 2 * u) * m1;
  }
  Vec3 Position(double u) const {
    return {Value(u, p0.x, m0.x, p1.x, m1.x), Value(u, p0.y, m0.y, p1.y, m1.y),
            Value(u, p0.z, m0.z, p1.z, m1.z)};
  }
  Vec3 Velocity(double u, double perStepDay) const {
    return {Slope(u, p0.x, m0.x, p1.x, m1.x) * perStepDay,
            Slope(u, p0.y, m0.y, p1.y, m1.y) * perStepDay,
            Slope(u, p0.z, m0.z, p1.z, m1.z) * perStepDay};
  }

  // The fraction u in [0, 1] at which z = 0, given that z changes sign over the
  // step: Newton's method kept inside a shrinking bracket, bisection when it leaves.
  double NodeFraction() const {
    double lo = 0, hi = 1;
    const bool riseAtLo = std::signbit(p0.z);  // z below zero at lo, at or above zero at hi
    double u = p0.z / (p0.z - p1.z);
    if (!(u >= 0 && u <= 1)) u = 0.5;  // +0 against -0: no secant
    for (int k = 0; k < 60 && hi - lo > 1e-14; ++k) {
      const double z = Value(u, p0.z, m0.z, p1.z, m1.z);
      if (z == 0) return u;
      if (std::signbit(z) == riseAtLo) {
        lo = u;
      } else {
        hi = u;
      }
      const double slope = Slope(u, p0.z, m0.z, p1.z, m1.z);
      double next = slope != 0 ? u - z / slope : -1;
      if (!(next > lo && next < hi)) next = 0.5 * (lo + hi);
      if (std::fabs(next - u) < 1e-13) return next;
      u = next;
    }
    return u;
  }
};

// Flag 1 for every row in [first, end) whose heliocentric z has another sign in
// the new point than in the accepted one, else 0. "Below" is the sign bit of
// z - zSun, the test the interpolation uses as well; taken from the bits, it is a
// form the compiler vectorises.
void MarkSideChanges(const double* z4, const double* z5, double sunZ4, double sunZ5, int first,
                     int end, unsigned char* flags) {
  for (int i = first; i < end; ++i) {
    flags[i] = static_cast<unsigned char>((std::bit_cast<std::uint64_t>(z4[i] - sunZ4) ^
                                           std::bit_cast<std::uint64_t>(z5[i] - sunZ5)) >>
                                          63);
  }
}

void PrefetchRow(const RunState& s, int row) {
  for (int slot : {kAcceptedSlot, kNewSlot}) {
    for (int axis = 0; axis < 3; ++axis) {
      __builtin_prefetch(s.Pos(axis, slot) + row);
      __builtin_prefetch(s.Vel(axis, slot) + row);
    }
  }
}

struct EarthOrbitPoint {
  double radiusAu;
  Vec3 velocity;  // AU/day, heliocentric
};

// The Earth-Moon barycentre's osculating heliocentric orbit at the given state
// (GM of the Sun plus that of the barycentre), evaluated where its direction from
// the Sun matches the crossing's heliocentric longitude: the radius there and the
// velocity along the orbit there. The direction is projected onto the orbit's
// plane, which lies within a hundredth of a degree of the ecliptic.
EarthOrbitPoint EarthOrbitAtDirection(const Vec3& earthPos, const Vec3& earthVel, double gm,
                                      const Vec3& direction) {
  const Vec3 h = CrossProduct(earthPos, earthVel);
  const double hNorm = Norm(h);
  const double perGm = 1 / gm;
  const double p = hNorm * hNorm * perGm;  // semi-latus rectum
  const Vec3 radial = Scale(earthPos, 1 / Norm(earthPos));
  const Vec3 eVec = Sub(Scale(CrossProduct(earthVel, h), perGm), radial);
  const double e = Norm(eVec);
  const Vec3 w = Scale(h, 1 / hNorm);
  // Towards perihelion; for an orbit that is circular to rounding any in-plane axis will do.
  const Vec3 pAxis = e > 1e-12 ? Scale(eVec, 1 / e) : radial;
  const Vec3 qAxis = CrossProduct(w, pAxis);
  // Cosine and sine of the true anomaly straight from the direction's components
  // in the orbit's plane.
  const double alongP = Dot(direction, pAxis), alongQ = Dot(direction, qAxis);
  const double inPlane = std::sqrt(alongP * alongP + alongQ * alongQ);
  const double perInPlane = 1 / inPlane;
  const double c = alongP * perInPlane, s = alongQ * perInPlane;
  const double speedScale = std::sqrt(gm / p);
  return {p / (1 + e * c),
          {speedScale * (-s * pAxis.x + (e + c) * qAxis.x),
           speedScale * (-s * pAxis.y + (e + c) * qAxis.y),
           speedScale * (-s * pAxis.z + (e + c) * qAxis.z)}};
}

}  // namespace

namespace {

// What every crossing of one step shares: the Earth's arc and the step's constants.
struct StepContext {
  HermiteArc earth;
  double perStepDay;
  double gm;  // the Sun's plus the barycentre's
  explicit StepContext(const RunState& s)
      : earth(s, kEarthRow),
        perStepDay(1 / s.StepDays),
        gm(s.BodyGM()[kSunRow] + s.BodyGM()[kEarthRow]) {}
};

// A crossing is measured in three parts, each done for all crossings of a block
// before the next: the node's step fraction u (NodeFraction), the geometry at u,
// then the sky angles. Every part is a chain of divisions, roots or library calls;
// between independent crossings the processor overlaps them.

// Everything but the solar longitude and the radiant; returns the geocentric
// velocity those come from.
Vec3 MeasureGeometry(const RunState& s, const StepContext& step, int row, double u,
                     double captureAu, double encounterAu, Crossing& c) {
  const HermiteArc particle(s, row);
  const Vec3 pos = particle.Position(u);
  const double perStepDay = step.perStepDay;
  const Vec3 vel = particle.Velocity(u, perStepDay);

  const Vec3 earthPos = step.earth.Position(u);
  const Vec3 earthVel = step.earth.Velocity(u, perStepDay);
  const EarthOrbitPoint orbit = EarthOrbitAtDirection(earthPos, earthVel, step.gm, pos);

  c = Crossing{};
  c.tDays = s.SimDays + u * s.StepDays;
  c.jd = s.EpochJD + c.tDays;
  c.particle = row - s.MassiveCount;
  c.ascending = std::signbit(particle.p0.z);
  c.rAu = Norm(pos);
  c.drAu = c.rAu - orbit.radiusAu;
  c.earthAu = Norm(Sub(pos, earthPos));
  c.inShower = std::fabs(c.drAu) < captureAu;
  c.encounter = c.earthAu < encounterAu;
  c.x = pos.x;
  c.y = pos.y;
  c.z = pos.z;
  c.vx = vel.x;
  c.vy = vel.y;
  c.vz = vel.z;
  return Sub(vel, orbit.velocity);
}

void MeasureSky(const Vec3& geocentricVelocity, Crossing& c) {
  c.lambdaSun = SolarLongitudeDeg({c.x, c.y, c.z});
  const Radiant radiant = RadiantFromGeocentricVelocity(geocentricVelocity);
  c.raDeg = radiant.raDeg;
  c.decDeg = radiant.decDeg;
  c.vgKmS = radiant.vgKmS;
}

}  // namespace

Crossing MeasureCrossing(const RunState& s, int row, double captureAu, double encounterAu) {
  Crossing c;
  const double u = HermiteArc(s, row).NodeFraction();
  MeasureSky(MeasureGeometry(s, StepContext(s), row, u, captureAu, encounterAu, c), c);
  return c;
}

CrossingDetector::CrossingDetector() { Grow(kCapacity); }

void CrossingDetector::Grow(int capacity) {
  records_ = std::make_unique<Crossing[]>(capacity);
  flags_ = std::make_unique<unsigned char[]>(capacity);
  rows_ = std::make_unique<int[]>(capacity);
  blockCount_ = std::make_unique<int[]>(capacity / kBlockBodies + 1);
  blockFirst_ = std::make_unique<int[]>(capacity / kBlockBodies + 1);
  capacity_ = capacity;
  count_ = 0;
}

CrossingDetector::~CrossingDetector() = default;

std::span<const Crossing> CrossingDetector::Scan(const RunState& s, WorkerPool& pool) {
  const double* z4 = s.Pos(kZ, kAcceptedSlot);
  const double* z5 = s.Pos(kZ, kNewSlot);
  const int first = s.MassiveCount, end = s.BodyCount;
  // Batch runs may hold more bodies than the window's largest run: the first scan of
  // such a run makes room, every later one allocates nothing.
  if (end > capacity_) Grow(end);
  const StepContext step(s);
  Crossing* records = records_.get();
  unsigned char* flags = flags_.get();
  int* blockCount = blockCount_.get();
  int* blockFirst = blockFirst_.get();
  int* rows = rows_.get();
  // Two passes over the pool's blocks. The first marks the rows that changed side
  // and lists them in the block's own part of rows_; from the counts each block
  // learns where its records start, and the second measures the listed rows and
  // writes their records there, so they lie in row order, packed, for any thread
  // count.
  pool.ForEachBlock(first, end, [&](int begin, int blockEnd) {
    // One flag per row, in a loop that vectorises; then the flags are read eight at
    // a time, so a stretch of rows without a crossing costs one test per eight. The
    // reads stay inside the block: the next one may be another thread's.
    MarkSideChanges(z4, z5, z4[kSunRow], z5[kSunRow], begin, blockEnd, flags);
    int* listed = rows + begin;
    int crossed = 0;
    int i = begin;
    for (; i + 8 <= blockEnd; i += 8) {
      std::uint64_t eight = 0;
      std::memcpy(&eight, flags + i, sizeof eight);
      while (eight != 0) {
        listed[crossed++] = i + std::countr_zero(eight) / 8;
        eight &= eight - 1;
      }
    }
    for (; i < blockEnd; ++i) {
      if (flags[i] != 0) listed[crossed++] = i;
    }
    blockCount[begin / kBlockBodies] = crossed;
  });
  int count = 0;
  for (int begin = first; begin < end; begin = (begin / kBlockBodies + 1) * kBlockBodies) {
    blockFirst[begin / kBlockBodies] = count;
    count += blockCount[begin / kBlockBodies];
  }
  if (count > 0) {
    pool.ForEachBlock(first, end, [&](int begin, int) {
      const int* listed = rows + begin;
      const int crossed = blockCount[begin / kBlockBodies];
      // Each measurement reads twelve scattered values of its row; fetching the next
      // row's while measuring this one hides most of the memory latency.
      Crossing* out = records + blockFirst[begin / kBlockBodies];
      double u[kBlockBodies];
      for (int k = 0; k < crossed; ++k) {
        if (k + 1 < crossed) PrefetchRow(s, listed[k + 1]);
        u[k] = HermiteArc(s, listed[k]).NodeFraction();
      }
      Vec3 geocentric[kBlockBodies];
      for (int k = 0; k < crossed; ++k) {
        geocentric[k] = MeasureGeometry(s, step, listed[k], u[k], captureAu_, encounterAu_, out[k]);
      }
      for (int k = 0; k < crossed; ++k) MeasureSky(geocentric[k], out[k]);
    });
  }
  count_ = count;
  return Records();
}

}  // namespace stelvo
