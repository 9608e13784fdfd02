#include "meteors/zhr_model.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "data/comet_magnitudes.h"
#include "initial/constants.h"
#include "initial/random_unit.h"
#include "meteors/sky_geometry.h"

namespace stelvo {

namespace {

constexpr double kWaterMoleculeKg = 18.015 * 1.66053907e-27;
constexpr double kDustToGasMassRatio = 1;  // stated default; the calibration absorbs it
constexpr double kEarthEscapeKmS = 11.186;
constexpr double kMinCosEcliptic = 0.1;  // radiants within 6 deg of the ecliptic are clamped
constexpr int kBootstrapRounds = 100;
constexpr int kMaxProfilePoints = 401;

struct ShowerRow {
  std::string_view comet;  // designation as it begins the catalogue's name
  ShowerFacts facts;
};
// IMO Meteor Shower Calendar, working list of visual showers (r per shower).
constexpr std::array<ShowerRow, 9> kShowers{{
    {"55P/", {"Leonids", 2.5}},
    {"21P/", {"Draconids", 2.6}},
    {"109P/", {"Perseids", 2.2}},
    {"1P/", {"Orionids", 2.5}},
    {"8P/", {"Ursids", 3.0}},
    {"7P/", {"June Bootids", 2.2}},
    {"26P/", {"Pi Puppids", 2.0}},
    {"2P/", {"Taurids", 2.3}},
    {"3D/", {"Andromedids", 3.0}},
}};

double Silverman(double sd, int n) { return 1.06 * sd * std::pow(static_cast<double>(n), -0.2); }

double Gauss(double x, double h) {
  const double u = x / h;
  return std::exp(-0.5 * u * u) / (std::sqrt(kTwoPi) * h);
}

struct Spread {
  double mean, sd;
};
Spread MeanAndSd(std::span<const EncounterNode> nodes, double EncounterNode::*field,
                 const std::vector<int>& pick) {
  double sum = 0;
  for (int k : pick) sum += nodes[k].*field;
  const double mean = sum / static_cast<double>(pick.size());
  double sq = 0;
  for (int k : pick) sq += (nodes[k].*field - mean) * (nodes[k].*field - mean);
  const double sd = pick.size() > 1 ? std::sqrt(sq / static_cast<double>(pick.size() - 1)) : 0;
  return {mean, sd};
}

// ZHR against time for the grains `pick` (indices into nodes, repeats allowed), on a
// grid over all their passages, or only within `span` days of `around` when span > 0.
struct Profile {
  double zhr = 0;
  double peakJd = 0;
  double bandwidthDays = 0;
  double fwhmMin = 0;
  std::vector<ProfilePoint> points;
};

Profile ProfileOf(std::span<const EncounterNode> nodes, const std::vector<int>& pick,
                  const EncounterGeometry& g, double calibration, double around = 0,
                  double span = 0) {
  Profile out;
  const int n = static_cast<int>(pick.size());
  if (n == 0) return out;
  const Spread across = MeanAndSd(nodes, &EncounterNode::missAu, pick);
  const Spread when = MeanAndSd(nodes, &EncounterNode::earthJd, pick);
  // A single grain, or grains on one line, still stand for a trail of some width:
  // no bandwidth below 1e-5 AU across or a minute in time.
  const double hx = std::max(Silverman(across.sd, n), 1e-5);
  const double ht = std::max(Silverman(when.sd, n), 1.0 / 1440);
  std::vector<double> w(n);
  double total = 0, first = nodes[pick[0]].earthJd, last = first;
  for (int k = 0; k < n; ++k) {
    const EncounterNode& e = nodes[pick[k]];
    w[k] = e.weight * Gauss(e.missAu, hx);  // meteoroids per AU across
    total += w[k];
    first = std::min(first, e.earthJd);
    last = std::max(last, e.earthJd);
  }
  // Meteoroids per AU^2 of the ecliptic at d = 0 over the encounter, then per km^2
  // across the radiant.
  const double alongAu = 2 * g.windowDays * g.earthSpeedAuPerDay;
  const double cosine = std::max(std::fabs(g.cosEclipticAngle), kMinCosEcliptic);
  const double focusing = 1 + (kEarthEscapeKmS / g.vgKmS) * (kEarthEscapeKmS / g.vgKmS);
  const double perKm2 = focusing / (alongAu * cosine * kAuKm * kAuKm);
  // ZHR per (meteoroid per AU across and per day of time density).
  const double scale = calibration * ZhrFromFlux(perKm2 / 24, g.populationIndex);

  const double from = span > 0 ? around - span : first - 3 * ht;
  const double to = span > 0 ? around + span : last + 3 * ht;
  const int count = std::clamp(static_cast<int>((to - from) / (ht / 3)) + 1, 3, kMaxProfilePoints);
  const double step = (to - from) / (count - 1);
  std::vector<ProfilePoint> points(count);
  int top = 0;
  for (int i = 0; i < count; ++i) {
    const double t = from + step * i;
    double density = 0;
    for (int k = 0; k < n; ++k) density += w[k] * Gauss(t - nodes[pick[k]].earthJd, ht);
    points[i] = {t, scale * density};
    if (points[i].zhr > points[top].zhr) top = i;
  }
  out.zhr = points[top].zhr;
  out.peakJd = points[top].jd;
  out.bandwidthDays = ht;
  // Half maximum on each side of the top, between grid points by linear interpolation.
  const double half = out.zhr / 2;
  int lo = top, hi = top;
  while (lo > 0 && points[lo].zhr > half) --lo;
  while (hi < count - 1 && points[hi].zhr > half) ++hi;
  auto cross = [&](int outside, int inside) {
    const double a = points[outside].zhr, b = points[inside].zhr;
    const double u = b > a ? (half - a) / (b - a) : 0;
    return points[outside].jd + u * (points[inside].jd - points[outside].jd);
  };
  if (total > 0) out.fwhmMin = (cross(hi, std::max(hi - 1, top)) - cross(lo, std::min(lo + 1, top))) * 1440;
  out.points = std::move(points);
  return out;
}

}  // namespace

CometActivity ActivityOfComet(int cometIndex) {
  CometActivity activity;
  if (cometIndex >= 0 && cometIndex < kCometCount && kCometMagnitudes[cometIndex].given) {
    activity.absoluteMagnitude = kCometMagnitudes[cometIndex].h;
    activity.slopeN = kCometMagnitudes[cometIndex].g;
  }
  return activity;
}

ShowerFacts ShowerOfComet(std::string_view cometName) {
  for (const ShowerRow& row : kShowers) {
    if (cometName.substr(0, row.comet.size()) == row.comet) return row.facts;
  }
  return {"", 2.5};
}

double MassIndexFromPopulationIndex(double r) { return 1 + 2.5 * std::log10(r); }

double DustMassPerReturnKg(const CometActivity& comet, double q, double e, double activeWithinAu) {
  if (!(q > 0 && e >= 0 && e < 1)) return 0;
  const double a = q / (1 - e);
  const double periodS = std::pow(a, 1.5) * 365.25636 * kDaySeconds;
  // Time over eccentric anomaly: dt = (1 - e cos E) P / (2 pi) dE, midpoint rule.
  constexpr int kSteps = 4000;
  const double dE = kTwoPi / kSteps;
  double mass = 0;
  for (int k = 0; k < kSteps; ++k) {
    const double bigE = -kPi + (k + 0.5) * dE;
    const double rho = 1 - e * std::cos(bigE);
    const double r = a * rho;
    if (r > activeWithinAu) continue;
    const double magnitude = comet.absoluteMagnitude + 2.5 * comet.slopeN * std::log10(r);
    const double water = std::pow(10.0, 30.675 - 0.2453 * magnitude);
    mass += water * rho * periodS / kTwoPi * dE;
  }
  return mass * kWaterMoleculeKg * kDustToGasMassRatio;
}

double GrainMassKg(double radiusM, double densityKgM3) {
  return 4.0 / 3.0 * kPi * radiusM * radiusM * radiusM * densityKgM3;
}

double MeteoroidsPerGrain(double grainMassKg, double dustMassKg, double massIndex,
                          double massMinKg, double massMaxKg, int modelGrains) {
  const double logSpan = std::log(massMaxKg / massMinKg);
  // Mass in the range per unit A: the integral of m^(1-s) dm.
  const double massPerA = std::fabs(massIndex - 2) < 1e-9
                              ? logSpan
                              : (std::pow(massMaxKg, 2 - massIndex) - std::pow(massMinKg, 2 - massIndex)) /
                                    (2 - massIndex);
  const double a = dustMassKg / massPerA;
  return a * std::pow(grainMassKg, 1 - massIndex) * logSpan / modelGrains;
}

double MassOfLimitingMeteorKg(double vKmS) {
  const double logGrams = (55.34 - 8.75 * std::log10(vKmS * 1e5) - 6.5) / 2.25;
  return std::pow(10.0, logGrams) / 1000;
}

double ZhrFromFlux(double perKm2PerHour, double r) {
  return perKm2PerHour * 37200 / ((13.1 * r - 16.5) * std::pow(r - 1.3, 0.748));
}

ZhrEstimate EstimateEncounter(std::span<const EncounterNode> nodes, const EncounterGeometry& g,
                              double calibration) {
  ZhrEstimate out;
  const int n = static_cast<int>(nodes.size());
  if (n == 0) return out;
  std::vector<int> all(n);
  for (int k = 0; k < n; ++k) all[k] = k;
  Profile whole = ProfileOf(nodes, all, g, calibration);
  out.zhr = whole.zhr;
  out.fwhmMin = whole.fwhmMin;
  out.profile = std::move(whole.points);
  if (n > 1) {
    // A fixed sequence: the same resamplings, so the same sigma, on every run.
    RandomSource random;
    std::vector<int> pick(n);
    double sum = 0, sq = 0;
    for (int b = 0; b < kBootstrapRounds; ++b) {
      for (int& k : pick) k = std::min(static_cast<int>(random.RandomUnit() * n), n - 1);
      // Near the whole sample's maximum only, which keeps the rounds cheap.
      const double zhr =
          ProfileOf(nodes, pick, g, calibration, whole.peakJd, 3 * whole.bandwidthDays).zhr;
      sum += zhr;
      sq += zhr * zhr;
    }
    const double mean = sum / kBootstrapRounds;
    out.zhrSigma = std::sqrt(std::max(sq / kBootstrapRounds - mean * mean, 0.0));
  }
  return out;
}

}  // namespace stelvo
