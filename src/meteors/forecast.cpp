#include "meteors/forecast.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <limits>
#include <map>
#include <mutex>
#include <thread>

#include "core/run_error.h"
#include "initial/astronom.h"
#include "initial/catalogue.h"
#include "initial/constants.h"
#include "initial/planets.h"
#include "meteors/comet_passages.h"
#include "meteors/crossing_detector.h"
#include "meteors/sky_geometry.h"
#include "meteors/two_body.h"
#include "run/epoch_state.h"
#include "run/particle_run.h"

namespace stelvo {

namespace {

constexpr int kEarthRow = 3;  // the Earth-Moon barycentre, body 4
// Nodes farther than this from the Earth's orbit are not kept (AU).
constexpr double kNodeBandAu = 0.02;
constexpr double kEarthDegreesPerDay = 0.9856;

struct NodeRecord {
  double jd;
  double rAu;
  double lambdaSun;
  double vx, vy, vz;  // heliocentric velocity at the node, AU/day
  int particle;
};

struct EarthSample {
  double jd;
  StateVector helio;
};

using Clock = std::chrono::steady_clock;
double Seconds(Clock::time_point from) {
  return std::chrono::duration<double>(Clock::now() - from).count();
}

struct TrailRun {
  PerihelionPassage passage;
  ForecastTimings timings;
  long long steps = 0;
  int grains = 0;
  std::vector<NodeRecord> nodes;
  std::vector<EarthSample> earth;
  std::vector<double> grainMassKg;  // per particle
};

double YearStartJD(int year) { return JulianDate(year, 1, 1, 0, 0, 0); }

double GrainMassKg(double radiusM, const EjectionSettings& e) {
  return 4.0 / 3.0 * kPi * radiusM * radiusM * radiusM * e.grainDensityKgM3;
}


void CheckSettings(const ForecastSettings& s) {
  auto inYears = [](int y) { return y >= 1600 && y <= 2200; };
  if (!inYears(s.trailFrom) || !inYears(s.trailTo) || !inYears(s.forecastFrom) ||
      !inYears(s.forecastTo) || s.forecastTo >= 2200) {
    throw RunError("Trail and forecast years must lie between 1600 and 2199");
  }
  if (s.trailFrom > s.trailTo) throw RunError("The trail years run backwards");
  if (s.forecastFrom > s.forecastTo) throw RunError("The forecast years run backwards");
  if (s.perTrail < 1 || s.perTrail > kCapacity - kMassiveCount) {
    throw RunError("A trail holds 1 to 19990 particles");
  }
  if (!(s.stepDays > 0 && s.stepDays <= 10))
    throw RunError("The trail step must lie in (0, 10] days");
  if (!(s.encounterAu > 0 && s.encounterAu < kNodeBandAu)) {
    throw RunError("The encounter distance must lie above 0 and below 0.02 AU");
  }
  if (!(s.windowDays > 0)) throw RunError("The time window must be above 0 days");
  if (s.threads < 1) throw RunError("At least one thread");
}

// The Earth's heliocentric position and velocity at jd from the samples of the
// run's own steps, by cubic Hermite interpolation.
struct EarthTrack {
  const std::vector<EarthSample>& samples;
  double stepDays;

  bool Covers(double jd) const {
    return !samples.empty() && jd >= samples.front().jd && jd <= samples.back().jd;
  }
  StateVector At(double jd) const {
    const double first = samples.front().jd;
    int k = static_cast<int>(std::floor((jd - first) / stepDays));
    k = std::clamp(k, 0, static_cast<int>(samples.size()) - 2);
    const EarthSample& a = samples[k];
    const EarthSample& b = samples[k + 1];
    const double h = b.jd - a.jd;
    const double u = (jd - a.jd) / h;
    const double u2 = u * u, u3 = u2 * u;
    const double h00 = 2 * u3 - 3 * u2 + 1, h10 = u3 - 2 * u2 + u, h01 = 3 * u2 - 2 * u3,
                 h11 = u3 - u2;
    const double d00 = (6 * u2 - 6 * u) / h, d10 = 3 * u2 - 4 * u + 1, d01 = (6 * u - 6 * u2) / h,
                 d11 = 3 * u2 - 2 * u;
    auto value = [&](double p0, double v0, double p1, double v1) {
      return h00 * p0 + h10 * h * v0 + h01 * p1 + h11 * h * v1;
    };
    auto slope = [&](double p0, double v0, double p1, double v1) {
      return d00 * p0 + d10 * v0 + d01 * p1 + d11 * v1;
    };
    const StateVector& p = a.helio;
    const StateVector& q = b.helio;
    return {value(p.x, p.vx, q.x, q.vx), value(p.y, p.vy, q.y, q.vy), value(p.z, p.vz, q.z, q.vz),
            slope(p.x, p.vx, q.x, q.vx), slope(p.y, p.vy, q.y, q.vy), slope(p.z, p.vz, q.z, q.vz)};
  }
  // The instant near `guess` at which the Sun's longitude seen from the Earth is
  // lambdaSun (the Earth at the node's heliocentric longitude); false off the track.
  bool PassageOf(double lambdaSun, double guess, double& jd) const {
    jd = guess;
    for (int k = 0; k < 8; ++k) {
      if (!Covers(jd)) return false;
      const StateVector e = At(jd);
      const double off = DegreesBetween(lambdaSun, SolarLongitudeDeg({e.x, e.y, e.z}));
      const double rate = (e.x * e.vy - e.y * e.vx) / (e.x * e.x + e.y * e.y) * kRadToDeg;
      jd += off / rate;
      if (std::fabs(off) < 1e-7) break;
    }
    return Covers(jd);
  }
};

void IntegrateTrail(TrailRun& trail, const ForecastSettings& s, std::uint64_t seed,
                    double windowStartJD, double endJD, ParticleRun& run,
                    CrossingDetector& detector, std::atomic<long long>& done,
                    std::atomic<double>& reachedJD, const std::atomic<bool>& cancel) {
  const PerihelionPassage& passage = trail.passage;
  ForecastTimings& time = trail.timings;
  auto mark = Clock::now();
  const MassiveStates bodies = MassiveBodiesAt(passage.jd);
  time.epochs += Seconds(mark);
  mark = Clock::now();
  const std::vector<Grain> grains = ReleaseTrail(passage, s.perTrail, s.ejection, seed, passage.jd);
  trail.grains = static_cast<int>(grains.size());
  trail.grainMassKg.reserve(grains.size());
  for (const Grain& g : grains) trail.grainMassKg.push_back(GrainMassKg(g.radiusM, s.ejection));
  std::vector<StateVector> states;
  std::vector<double> factors;
  states.reserve(grains.size());
  factors.reserve(grains.size());
  for (const Grain& g : grains) {
    states.push_back(g.helio);
    factors.push_back(g.sunFactor);
  }
  time.release += Seconds(mark);
  mark = Clock::now();
  run.Begin(passage.jd, bodies, states, factors, s.stepDays);
  time.startup += Seconds(mark);
  detector.Reset();
  detector.SetCaptureAu(kNodeBandAu);
  long long taken = 0;
  while (run.AcceptedJD() < endJD && taken < trail.steps) {
    if (cancel.load(std::memory_order_relaxed)) return;
    mark = Clock::now();
    run.Step();
    time.steps += Seconds(mark);
    if (run.NewJD() > windowStartJD) {
      mark = Clock::now();
      if (trail.earth.empty()) {
        trail.earth.push_back({run.AcceptedJD(), run.Heliocentric(kEarthRow, 4)});
      }
      trail.earth.push_back({run.NewJD(), run.Heliocentric(kEarthRow, 5)});
      for (const Crossing& c : detector.Scan(run.State())) {
        if (c.inShower && c.jd >= windowStartJD) {
          trail.nodes.push_back({c.jd, c.rAu, c.lambdaSun, c.vx, c.vy, c.vz, c.particle});
        }
      }
      time.crossings += Seconds(mark);
    }
    run.FinishPass();
    ++taken;
    ++time.trailSteps;
    done.fetch_add(1, std::memory_order_relaxed);
    reachedJD.store(run.AcceptedJD(), std::memory_order_relaxed);
  }
}

struct Near {
  double earthJd;
  double dr;
  Vec3 vg;
  double massKg;
};

// What the comet's dust at one return and its shower's mass distribution make of one
// model grain (meteors/zhr_model.h).
struct TrailWeights {
  double dustKg;
  double massIndex;
  double massMinKg, massMaxKg;
  int modelGrains;
  double populationIndex;
};

// Groups one trail's nodes near the Earth into one encounter per year.
void Encounters(const TrailRun& trail, int trailYear, const ForecastSettings& s,
                const TrailWeights& weights, std::vector<TrailEncounter>& out) {
  const EarthTrack track{trail.earth, s.stepDays};
  std::map<int, std::vector<Near>> byYear;
  for (const NodeRecord& n : trail.nodes) {
    double earthJd = 0;
    if (!track.PassageOf(n.lambdaSun, n.jd, earthJd)) continue;
    if (std::fabs(n.jd - earthJd) > s.windowDays) continue;
    const StateVector e = track.At(earthJd);
    const double dr = n.rAu - std::sqrt(e.x * e.x + e.y * e.y + e.z * e.z);
    if (std::fabs(dr) > s.encounterAu) continue;
    const int year = CalendarFromJulianDate(earthJd).year;
    if (year < s.forecastFrom || year > s.forecastTo) continue;
    byYear[year].push_back(
        {earthJd, dr, {n.vx - e.vx, n.vy - e.vy, n.vz - e.vz}, trail.grainMassKg[n.particle]});
  }
  for (const auto& [year, near] : byYear) {
    double jd = 0, dr = 0;
    Vec3 vg{0, 0, 0};
    for (const Near& n : near) {
      jd += n.earthJd;
      dr += n.dr;
      vg = {vg.x + n.vg.x, vg.y + n.vg.y, vg.z + n.vg.z};
    }
    const double count = static_cast<double>(near.size());
    jd /= count;
    const StateVector e = track.At(jd);
    const Vec3 meanVg{vg.x / count, vg.y / count, vg.z / count};
    const Radiant radiant = RadiantFromGeocentricVelocity(meanVg);
    TrailEncounter enc;
    enc.trailYear = trailYear;
    enc.forecastYear = year;
    enc.peakJd = jd;
    enc.lambdaSun = SolarLongitudeDeg({e.x, e.y, e.z});
    enc.missAu = dr / count;
    enc.particles = static_cast<int>(near.size());
    enc.raDeg = radiant.raDeg;
    enc.decDeg = radiant.decDeg;
    enc.vgKmS = radiant.vgKmS;
    enc.nodes.reserve(near.size());
    for (const Near& n : near) {
      const double speed = std::sqrt(n.vg.x * n.vg.x + n.vg.y * n.vg.y + n.vg.z * n.vg.z);
      const bool visible = n.massKg >= MassOfLimitingMeteorKg(speed * kAuPerDayToKmS);
      const double weight = visible ? MeteoroidsPerGrain(n.massKg, weights.dustKg, weights.massIndex,
                                                         weights.massMinKg, weights.massMaxKg,
                                                         weights.modelGrains)
                                    : 0;
      enc.nodes.push_back({n.earthJd, n.dr, weight});
    }
    const double vgAbs =
        std::sqrt(meanVg.x * meanVg.x + meanVg.y * meanVg.y + meanVg.z * meanVg.z);
    const EncounterGeometry geometry{s.windowDays, std::sqrt(e.vx * e.vx + e.vy * e.vy + e.vz * e.vz),
                                     vgAbs > 0 ? meanVg.z / vgAbs : 1, radiant.vgKmS,
                                     weights.populationIndex};
    ZhrEstimate strength = EstimateEncounter(enc.nodes, geometry);
    enc.zhr = strength.zhr;
    enc.zhrSigma = strength.zhrSigma;
    enc.fwhmMin = strength.fwhmMin;
    enc.peakSigmaMin = strength.peakSigmaMin;
    enc.missSigmaAu = strength.missSigmaAu;
    enc.profile = std::move(strength.profile);
    out.push_back(std::move(enc));
  }
}

}  // namespace

ForecastProgress ReportInto(Progress& progress, const ForecastSettings& settings) {
  const double forecastStartJD = YearStartJD(settings.forecastFrom);
  const int lastYear = settings.forecastTo;
  return [&progress, forecastStartJD, lastYear](const ForecastStatus& st) {
    std::string stage;
    if (std::isfinite(st.reachedJD) && st.reachedJD >= forecastStartJD) {
      const int year = std::min(CalendarFromJulianDate(st.reachedJD).year, lastYear);
      stage = "forecast " + std::to_string(year);
    } else {
      const int current = std::min(st.trailsFinished + 1, std::max(st.trailCount, 1));
      stage = "trail " + std::to_string(current) + " of " + std::to_string(st.trailCount);
    }
    progress.SetStageText(std::move(stage));
    const double jd = std::isfinite(st.reachedJD) ? st.reachedJD : progress.Read().simJD;
    progress.Report(st.fraction, jd);
    return !progress.CancelRequested();
  };
}

ForecastResult RunForecast(const ForecastSettings& s, const ForecastProgress& progress) {
  CheckSettings(s);
  const double windowStartJD = YearStartJD(s.forecastFrom) - 2 * s.windowDays;
  const double endJD = YearStartJD(s.forecastTo + 1) + 2 * s.windowDays;
  const double trailsEndJD = std::min(YearStartJD(s.trailTo + 1), windowStartJD);
  ForecastResult result;
  if (YearStartJD(s.trailFrom) >= trailsEndJD) return result;
  const auto passagesStart = Clock::now();
  const std::vector<PerihelionPassage> passages =
      PerihelionPassages(s.cometIndex, YearStartJD(s.trailFrom), trailsEndJD);
  result.timings.passages = Seconds(passagesStart);

  std::vector<TrailRun> trails(passages.size());
  long long totalSteps = 0;
  for (std::size_t k = 0; k < passages.size(); ++k) {
    trails[k].passage = passages[k];
    trails[k].steps = PlanSteps(passages[k].jd, endJD, s.stepDays).steps;
    totalSteps += trails[k].steps;
  }

  std::atomic<long long> done{0};
  // Per trail the date it has reached, NaN before it starts; a finished trail keeps
  // its last date, the latest of all, so the least date is the slowest running trail's.
  std::vector<std::atomic<double>> reached(trails.size());
  for (auto& r : reached) r.store(std::numeric_limits<double>::quiet_NaN());
  std::atomic<int> trailsFinished{0};
  std::atomic<bool> cancel{false};
  std::atomic<std::size_t> next{0};
  std::atomic<int> running{0};
  std::mutex mutex;
  std::condition_variable finished;
  std::exception_ptr failure;
  const int threadCount = std::min<int>(s.threads, std::max<std::size_t>(trails.size(), 1));
  // The longest trails first, so that the threads finish together.
  std::vector<std::size_t> order(trails.size());
  for (std::size_t k = 0; k < order.size(); ++k) order[k] = k;
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return trails[a].steps > trails[b].steps; });

  auto worker = [&]() {
    try {
      ParticleRun run;
      CrossingDetector detector;
      for (std::size_t k = next++; k < order.size() && !cancel; k = next++) {
        TrailRun& trail = trails[order[k]];
        const std::uint64_t seed =
            static_cast<std::uint64_t>(s.cometIndex) * 1000003u +
            static_cast<std::uint64_t>(CalendarFromJulianDate(trail.passage.jd).year);
        std::atomic<double>& trailReached = reached[order[k]];
        IntegrateTrail(trail, s, seed, windowStartJD, endJD, run, detector, done, trailReached,
                       cancel);
        ++trailsFinished;
      }
    } catch (...) {
      std::lock_guard<std::mutex> lock(mutex);
      if (!failure) failure = std::current_exception();
      cancel = true;
    }
    std::lock_guard<std::mutex> lock(mutex);
    --running;
    finished.notify_all();
  };
  auto status = [&](double fraction) {
    ForecastStatus st;
    st.fraction = fraction;
    st.trailsFinished = trailsFinished.load();
    st.trailCount = static_cast<int>(trails.size());
    st.reachedJD = std::numeric_limits<double>::quiet_NaN();
    for (const auto& r : reached) {
      const double jd = r.load(std::memory_order_relaxed);
      if (std::isfinite(jd) && !(jd >= st.reachedJD)) st.reachedJD = jd;
    }
    return st;
  };
  // The hook hears of every forecast at least once before any trail runs.
  if (progress && !progress(status(0.0))) {
    result.cancelled = true;
    return result;
  }
  std::vector<std::thread> threads;
  running = threadCount;
  for (int t = 0; t < threadCount; ++t) threads.emplace_back(worker);
  {
    std::unique_lock<std::mutex> lock(mutex);
    while (running > 0) {
      finished.wait_for(lock, std::chrono::milliseconds(200));
      if (progress && running > 0) {
        lock.unlock();
        const double fraction =
            totalSteps > 0 ? static_cast<double>(done.load()) / static_cast<double>(totalSteps) : 1;
        if (!progress(status(std::min(fraction, 1.0)))) cancel = true;
        lock.lock();
      }
    }
  }
  for (std::thread& t : threads) t.join();
  if (failure) std::rethrow_exception(failure);
  if (cancel) {
    result.cancelled = true;
    return result;
  }
  if (progress) progress(status(1.0));

  const auto groupingStart = Clock::now();
  ForecastTimings& sum = result.timings;
  BahnElement cometLine{};
  ParseCatalogueEntry(s.cometIndex, cometLine);
  const CometActivity activity = s.activity.value_or(ActivityOfComet(s.cometIndex));
  const double populationIndex =
      s.populationIndex.value_or(ShowerOfComet(cometLine.FullName).populationIndex);
  for (const TrailRun& trail : trails) {
    const int year = CalendarFromJulianDate(trail.passage.jd).year;
    result.trails.push_back({year, trail.passage.jd, trail.grains});
    const OsculatingElements orbit = StateToElements(trail.passage.helio, kMassiveBodies[0].gm);
    const TrailWeights weights{
        DustMassPerReturnKg(activity, orbit.a * (1 - orbit.ecc), orbit.ecc, s.ejection.activeWithinAu),
        MassIndexFromPopulationIndex(populationIndex),
        GrainMassKg(s.ejection.grainRadiusMinMm * 1e-3, s.ejection),
        GrainMassKg(s.ejection.grainRadiusMaxMm * 1e-3, s.ejection),
        s.perTrail,
        populationIndex};
    Encounters(trail, year, s, weights, result.encounters);
    sum.epochs += trail.timings.epochs;
    sum.release += trail.timings.release;
    sum.startup += trail.timings.startup;
    sum.steps += trail.timings.steps;
    sum.crossings += trail.timings.crossings;
    sum.trailSteps += trail.timings.trailSteps;
  }
  sum.encounters = Seconds(groupingStart);
  std::stable_sort(result.encounters.begin(), result.encounters.end(),
                   [](const TrailEncounter& a, const TrailEncounter& b) {
                     return a.forecastYear != b.forecastYear ? a.forecastYear < b.forecastYear
                                                             : a.trailYear < b.trailYear;
                   });
  return result;
}

std::string ForecastCsv(const std::vector<TrailEncounter>& encounters) {
  std::string out = "trail,peak_utc,lambda_sun,miss_au,particles,ra,dec,vg,zhr,fwhm_min,peak_sigma_min\n";
  char line[160];
  for (const TrailEncounter& e : encounters) {
    std::snprintf(line, sizeof line, "%d,%s,%.4f,%.5f,%d,%.2f,%.2f,%.2f,%.0f,%.0f,%.1f\n",
                  e.trailYear, FormatUtc(e.peakJd).c_str(), e.lambdaSun, e.missAu, e.particles,
                  e.raDeg, e.decDeg, e.vgKmS, e.zhr, e.fwhmMin, e.peakSigmaMin);
    out += line;
  }
  return out;
}

}  // namespace stelvo
