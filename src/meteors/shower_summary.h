#pragma once
// Accumulates the crossings of a run into showers: the activity per degree of
// solar longitude and the showers found in it, with their radiants. Fed after every
// step by the run's driver (the shower window, stelvo-cli) from the crossing
// detector's records; read by the window's drawing and stelvo-cli's summary.
//
// Storage is bounded and allocated once: running sums per degree of solar longitude
// (so a run of any length costs the same), a ring of the newest radiants for the
// sky map and the first encounters. Add() allocates nothing; Summarise() neither.
//
// Grouping: the captured crossings (|dr| below the capture width) fill 360 bins of
// one degree of solar longitude. Occupied bins form a shower while the gaps between
// them are at most kShowerGapBins empty bins and the mean radiants of neighbouring
// occupied bins lie within kRadiantJumpDeg of each other; the bins wrap at 360.

#include <array>
#include <memory>
#include <span>

#include "meteors/crossing.h"

namespace stelvo {

inline constexpr int kActivityBins = 360;
inline constexpr int kShowerGapBins = 2;
inline constexpr double kRadiantJumpDeg = 15;
inline constexpr int kDefaultMinShowerCount = 3;
inline constexpr int kMaxShowers = kActivityBins;
inline constexpr int kSkyDotCapacity = 1 << 16;
inline constexpr int kEncounterCapacity = 4096;

struct Shower {
  double lambdaSun;          // circular mean solar longitude, degrees [0, 360)
  double lambdaSpread;       // circular standard deviation, degrees
  double raDeg, decDeg;      // mean geocentric radiant, equatorial J2000
  double radiantSpreadDeg;   // root mean square angle from the mean radiant
  double vgKmS, vgSpread;    // mean geocentric speed and its standard deviation, km/s
  int count;                 // captured crossings
  double weight;             // their summed weights (= count when every weight is 1)
  double perYear;            // weight per year of scanned run time
  int encounters;            // of them, crossings near the Earth itself
  std::array<char, 6> date;  // "MM-DD" on which the Sun reaches lambdaSun in the summary's year
};

// One radiant of the sky map.
struct SkyDot {
  double raDeg, decDeg, lambdaSun;
  bool inShower;  // |dr| below the capture width
};

class ShowerSummary {
 public:
  ShowerSummary();
  ~ShowerSummary();
  ShowerSummary(const ShowerSummary&) = delete;
  ShowerSummary& operator=(const ShowerSummary&) = delete;

  // Forgets everything; call at the start of every run.
  void Reset();

  // The crossings found in one step, which ran from fromDays to toDays (days since
  // the epoch); the span of scanned time gives the rates per year. Each crossing
  // counts with its weight, what its grain stands for (a weight of 1 gives the
  // same bits as an unweighted sum); the means are weighted means.
  void Add(std::span<const Crossing> crossings, double fromDays, double toDays);

  // Groups the bins into showers, sorted by solar longitude; dates for `year`.
  // Groups with fewer than minCount crossings are left out. The span stays valid
  // until the next Summarise or Reset.
  std::span<const Shower> Summarise(int year, int minCount = kDefaultMinShowerCount);
  std::span<const Shower> Showers() const { return {showers_.data(), std::size_t(showerCount_)}; }

  // Captured crossings per degree of solar longitude: bin k counts [k, k + 1).
  const std::array<int, kActivityBins>& Activity() const { return activity_; }

  // Sky dots, oldest first, the newest kSkyDotCapacity crossings.
  int DotCount() const { return dotCount_; }
  const SkyDot& Dot(int k) const;

  // Encounters in the order found; the first kEncounterCapacity are kept.
  std::span<const Crossing> Encounters() const;
  long long EncounterCount() const { return encounterCount_; }

  long long CrossingCount() const { return crossingCount_; }
  long long CapturedCount() const { return capturedCount_; }
  double ScannedDays() const { return scanned_ ? toDays_ - fromDays_ : 0; }
  // Calendar year of the middle of the scanned time, for Summarise's dates.
  int MiddleYear(double epochJD) const;

 private:
  struct Bin {
    double sumCosLambda, sumSinLambda;
    double sumRadiant[3];  // unit vectors towards the radiant, equatorial
    double sumVg, sumVg2;
    double weight;
    int count, encounters;
  };
  std::array<Bin, kActivityBins> bins_{};
  std::array<int, kActivityBins> activity_{};
  std::array<Shower, kMaxShowers> showers_{};
  int showerCount_ = 0;
  std::unique_ptr<SkyDot[]> dots_;
  int dotCount_ = 0, dotNext_ = 0;
  std::unique_ptr<Crossing[]> encounters_;
  long long encounterCount_ = 0;
  long long crossingCount_ = 0, capturedCount_ = 0;
  bool scanned_ = false;
  double fromDays_ = 0, toDays_ = 0;
};

}  // namespace stelvo
