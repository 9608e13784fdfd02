#include "meteors/shower_summary.h"

#include <algorithm>
#include <cmath>

#include "initial/constants.h"
#include "meteors/sky_geometry.h"

namespace stelvo {

namespace {

struct Sums {
  double cosLambda = 0, sinLambda = 0;
  double radiant[3] = {0, 0, 0};
  double vg = 0, vg2 = 0;
  double weight = 0;
  int count = 0, encounters = 0;
};

void AddBin(Sums& s, const auto& bin) {
  s.cosLambda += bin.sumCosLambda;
  s.sinLambda += bin.sumSinLambda;
  for (int k = 0; k < 3; ++k) s.radiant[k] += bin.sumRadiant[k];
  s.vg += bin.sumVg;
  s.vg2 += bin.sumVg2;
  s.weight += bin.weight;
  s.count += bin.count;
  s.encounters += bin.encounters;
}

Vec3 RadiantUnit(double raDeg, double decDeg) {
  const double a = raDeg * kDegToRad, d = decDeg * kDegToRad;
  return {std::cos(d) * std::cos(a), std::cos(d) * std::sin(a), std::sin(d)};
}

// Mean direction of a sum of unit vectors, as RA and Dec in degrees.
void MeanRadiant(const double sum[3], double& raDeg, double& decDeg) {
  const double norm = std::sqrt(sum[0] * sum[0] + sum[1] * sum[1] + sum[2] * sum[2]);
  if (!(norm > 0)) {
    raDeg = decDeg = 0;
    return;
  }
  raDeg = WrapDegrees(std::atan2(sum[1], sum[0]) * kRadToDeg);
  decDeg = std::asin(std::fmax(-1.0, std::fmin(1.0, sum[2] / norm))) * kRadToDeg;
}

Shower ShowerOf(const Sums& s, double years, int year) {
  Shower w{};
  const double n = s.weight;
  w.count = s.count;
  w.weight = s.weight;
  w.encounters = s.encounters;
  w.perYear = years > 0 ? n / years : 0;
  // Circular standard deviation sqrt(-2 ln R) of the solar longitudes, R the mean
  // resultant length (Mardia & Jupp 2000, Directional Statistics, 2.3.4).
  const double lambdaResultant = std::hypot(s.cosLambda, s.sinLambda) / n;
  w.lambdaSun = WrapDegrees(std::atan2(s.sinLambda, s.cosLambda) * kRadToDeg);
  w.lambdaSpread = std::sqrt(-2 * std::log(std::fmin(1.0, lambdaResultant))) * kRadToDeg;
  MeanRadiant(s.radiant, w.raDeg, w.decDeg);
  // The mean cosine of the angle to the mean radiant is R; for small angles
  // 1 - cos t = t^2 / 2 gives the root mean square angle.
  const double radiantResultant =
      std::sqrt(s.radiant[0] * s.radiant[0] + s.radiant[1] * s.radiant[1] +
                s.radiant[2] * s.radiant[2]) /
      n;
  w.radiantSpreadDeg = std::sqrt(2 * std::fmax(0.0, 1 - radiantResultant)) * kRadToDeg;
  w.vgKmS = s.vg / n;
  w.vgSpread = std::sqrt(std::fmax(0.0, s.vg2 / n - w.vgKmS * w.vgKmS));
  MonthDayOfSolarLongitude(w.lambdaSun, year, w.date);
  return w;
}

}  // namespace

ShowerSummary::ShowerSummary()
    : dots_(std::make_unique<SkyDot[]>(kSkyDotCapacity)),
      encounters_(std::make_unique<Crossing[]>(kEncounterCapacity)) {}

ShowerSummary::~ShowerSummary() = default;

void ShowerSummary::Reset() {
  bins_ = {};
  activity_ = {};
  showerCount_ = 0;
  dotCount_ = dotNext_ = 0;
  encounterCount_ = 0;
  crossingCount_ = capturedCount_ = 0;
  scanned_ = false;
  fromDays_ = toDays_ = 0;
}

void ShowerSummary::Add(std::span<const Crossing> crossings, double fromDays, double toDays) {
  if (!scanned_) {
    fromDays_ = fromDays;
    scanned_ = true;
  }
  toDays_ = std::max(toDays_, toDays);
  for (const Crossing& c : crossings) {
    const double w = c.weight;
    ++crossingCount_;
    dots_[dotNext_] = {c.raDeg, c.decDeg, c.lambdaSun, c.inShower};
    dotNext_ = (dotNext_ + 1) % kSkyDotCapacity;
    dotCount_ = std::min(dotCount_ + 1, kSkyDotCapacity);
    if (!c.inShower) continue;
    ++capturedCount_;
    const int k = std::min(kActivityBins - 1, static_cast<int>(c.lambdaSun));
    Bin& b = bins_[k];
    const double lambda = c.lambdaSun * kDegToRad;
    b.sumCosLambda += w * std::cos(lambda);
    b.sumSinLambda += w * std::sin(lambda);
    const Vec3 r = RadiantUnit(c.raDeg, c.decDeg);
    b.sumRadiant[0] += w * r.x;
    b.sumRadiant[1] += w * r.y;
    b.sumRadiant[2] += w * r.z;
    b.sumVg += w * c.vgKmS;
    b.sumVg2 += w * (c.vgKmS * c.vgKmS);
    b.weight += w;
    ++b.count;
    ++activity_[k];
    if (c.encounter) {
      ++b.encounters;
      if (encounterCount_ < kEncounterCapacity) encounters_[encounterCount_] = c;
      ++encounterCount_;
    }
  }
}

const SkyDot& ShowerSummary::Dot(int k) const {
  const int oldest = dotCount_ < kSkyDotCapacity ? 0 : dotNext_;
  return dots_[(oldest + k) % kSkyDotCapacity];
}

std::span<const Crossing> ShowerSummary::Encounters() const {
  return {encounters_.get(),
          static_cast<std::size_t>(std::min<long long>(encounterCount_, kEncounterCapacity))};
}

int ShowerSummary::MiddleYear(double epochJD) const {
  return CalendarFromJulianDate(epochJD + (fromDays_ + toDays_) / 2).year;
}

std::span<const Shower> ShowerSummary::Summarise(int year, int minCount) {
  showerCount_ = 0;
  // Begin after the longest run of empty bins, so that no shower is cut at the
  // start of the walk; with every bin occupied, begin at 0.
  int start = 0, bestGap = 0;
  for (int k = 0; k < kActivityBins; ++k) {
    if (bins_[k].count != 0) continue;
    int gap = 0;
    while (gap < kActivityBins && bins_[(k + gap) % kActivityBins].count == 0) ++gap;
    if (gap > bestGap) {
      bestGap = gap;
      start = (k + gap) % kActivityBins;
    }
  }
  if (bestGap == kActivityBins) return Showers();

  const double years = ScannedDays() / kDaysPerYear;
  Sums group;
  int lastOffset = -1;
  double lastRa = 0, lastDec = 0;
  auto close = [&] {
    if (group.count >= minCount && group.count > 0)
      showers_[showerCount_++] = ShowerOf(group, years, year);
    group = Sums{};
  };
  for (int offset = 0; offset < kActivityBins; ++offset) {
    const Bin& bin = bins_[(start + offset) % kActivityBins];
    if (bin.count == 0) continue;
    double ra = 0, dec = 0;
    MeanRadiant(bin.sumRadiant, ra, dec);
    const bool gapTooWide = lastOffset >= 0 && offset - lastOffset - 1 > kShowerGapBins;
    const bool radiantJump =
        lastOffset >= 0 && AngularSeparationDeg(ra, dec, lastRa, lastDec) > kRadiantJumpDeg;
    if (gapTooWide || radiantJump) close();
    AddBin(group, bin);
    lastOffset = offset;
    lastRa = ra;
    lastDec = dec;
  }
  close();
  std::sort(showers_.begin(), showers_.begin() + showerCount_,
            [](const Shower& a, const Shower& b) { return a.lambdaSun < b.lambdaSun; });
  return Showers();
}

}  // namespace stelvo
