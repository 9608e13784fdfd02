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
#include "meteors/record_format.h"
#include "meteors/sky_geometry.h"
#include "meteors/sun_moon.h"
#include "meteors/trail_passage.h"
#include "meteors/two_body.h"
#include "run/epoch_state.h"
#include "run/particle_run.h"

namespace stelvo {

namespace {

constexpr int kEarthRow = 3;  // the Earth-Moon barycentre, body 4
// The Moon's share of the Earth-Moon barycentre: 1 / (1 + M_Earth / M_Moon) with the
// mass ratio 81.30056907 of the IAU 2009 system (Luzum et al. 2011, Celest. Mech.
// Dyn. Astr. 110, 293).
constexpr double kMoonShare = 1 / (1 + 81.30056907);
// Nodes farther than this from the Earth's orbit are not kept (AU).
constexpr double kNodeBandAu = 0.02;
constexpr double kEarthDegreesPerDay = 0.9856;

using Clock = std::chrono::steady_clock;
double Seconds(Clock::time_point from) {
  return std::chrono::duration<double>(Clock::now() - from).count();
}

double YearStartJD(int year) { return JulianDate(year, 1, 1, 0, 0, 0); }

void CheckSettings(const ForecastSettings& s) {
  auto inYears = [](int y) { return y >= kFirstForecastYear && y <= kLastForecastYear; };
  if (!inYears(s.trailFrom) || !inYears(s.trailTo) || !inYears(s.forecastFrom) ||
      !inYears(s.forecastTo)) {
    throw RunError("Trail and forecast years must lie between " +
                   std::to_string(kFirstForecastYear) + " and " +
                   std::to_string(kLastForecastYear));
  }
  if (s.trailFrom > s.trailTo) throw RunError("The trail years run backwards");
  if (s.forecastFrom > s.forecastTo) throw RunError("The forecast years run backwards");
  if (s.perTrail < 1 || s.perTrail > kMaxTrailParticles) {
    throw RunError("A trail holds 1 to " + std::to_string(kMaxTrailParticles) + " particles");
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

struct Near {
  PassageNode passage;
  Vec3 vg;
  double massKg;
};

// The Earth itself beside the Earth-Moon barycentre the run integrates: up to 4,700 km
// off it, which the Earth covers in 2.6 minutes along its orbit. The Moon's velocity
// is its position's central difference over 0.1 day (its path bends by 1e-5 of the
// 12 m/s the Earth's share amounts to).
StateVector Geocentre(const StateVector& barycentre, double jd) {
  constexpr double kHalfSpanDays = 0.05;
  const Vec3 moon = MoonGeocentricJ2000Au(jd);
  const Vec3 ahead = MoonGeocentricJ2000Au(jd + kHalfSpanDays);
  const Vec3 behind = MoonGeocentricJ2000Au(jd - kHalfSpanDays);
  const double rate = kMoonShare / (2 * kHalfSpanDays);
  return {barycentre.x - kMoonShare * moon.x,
          barycentre.y - kMoonShare * moon.y,
          barycentre.z - kMoonShare * moon.z,
          barycentre.vx - rate * (ahead.x - behind.x),
          barycentre.vy - rate * (ahead.y - behind.y),
          barycentre.vz - rate * (ahead.z - behind.z)};
}

// A grain's node moved from the J2000 ecliptic, where the run records it, onto the
// plane of the Earth's orbit at its passage, straight along the grain's velocity
// (over the minutes involved its path bends by under 1e-6 AU). The two planes part by
// the ecliptic's precession, 47" a century (Lieske et al. 1977, A&A 58, 1): in 1866
// the Earth stood 2.6e-4 AU off the J2000 ecliptic at the Leonids' node, which for a
// stream inclined like theirs (162 deg) moves the point where the Earth meets it by
// 8e-4 AU along the Earth's path, over an hour of its motion.
struct NodeOnEarthPlane {
  double jd;
  Vec3 at;
};
NodeOnEarthPlane MoveOntoPlaneOf(const StateVector& earth, const TrailNode& n) {
  const Vec3 pole{earth.y * earth.vz - earth.z * earth.vy, earth.z * earth.vx - earth.x * earth.vz,
                  earth.x * earth.vy - earth.y * earth.vx};
  const double height = pole.x * n.x + pole.y * n.y + pole.z * n.z;
  const double rise = pole.x * n.vx + pole.y * n.vy + pole.z * n.vz;
  const double dt = rise != 0 ? -height / rise : 0;
  return {n.jd + dt, {n.x + n.vx * dt, n.y + n.vy * dt, n.z + n.vz * dt}};
}

// What the comet's dust at one return and its shower's mass distribution make of one
// model grain (meteors/zhr_model.h).
struct TrailWeights {
  double dustKg;
  double massIndex;
  double massMinKg, massMaxKg;
  int modelGrains;
  double populationIndex;
};

// The encounter of one trail in one year from its grains near the Earth.
TrailEncounter Encounter(const EarthTrack& track, int trailYear, int year,
                         const std::vector<Near>& near, std::span<const PassageNode> band,
                         const ForecastSettings& s, const TrailWeights& weights) {
  Vec3 vg{0, 0, 0};
  std::vector<PassageNode> passages;
  passages.reserve(near.size());
  for (const Near& n : near) {
    vg = {vg.x + n.vg.x, vg.y + n.vg.y, vg.z + n.vg.z};
    passages.push_back(n.passage);
  }
  const TrailPassage passage = FitTrailPassage(passages, band);
  const double count = static_cast<double>(near.size());
  const StateVector e = track.At(passage.peakJd);
  const Vec3 meanVg{vg.x / count, vg.y / count, vg.z / count};
  const Radiant radiant = RadiantFromGeocentricVelocity(meanVg);
  TrailEncounter enc{trailYear,      year,
                     passage.peakJd, SolarLongitudeDeg({e.x, e.y, e.z}),
                     passage.missAu, static_cast<int>(near.size()),
                     radiant.raDeg,  radiant.decDeg,
                     radiant.vgKmS};
  // Each grain stands for the meteoroids of its mass bright enough to be seen at its
  // own speed.
  enc.nodes.reserve(near.size());
  for (const Near& n : near) {
    const double speed = std::sqrt(n.vg.x * n.vg.x + n.vg.y * n.vg.y + n.vg.z * n.vg.z);
    const bool visible = n.massKg >= MassOfLimitingMeteorKg(speed * kAuPerDayToKmS);
    const double weight =
        visible ? MeteoroidsPerGrain(n.massKg, weights.dustKg, weights.massIndex, weights.massMinKg,
                                     weights.massMaxKg, weights.modelGrains)
                : 0;
    enc.nodes.push_back({n.passage.earthJd, n.passage.missAu, weight});
  }
  const double vgAbs = std::sqrt(meanVg.x * meanVg.x + meanVg.y * meanVg.y + meanVg.z * meanVg.z);
  const EncounterGeometry geometry{s.windowDays, std::sqrt(e.vx * e.vx + e.vy * e.vy + e.vz * e.vz),
                                   vgAbs > 0 ? meanVg.z / vgAbs : 1, radiant.vgKmS,
                                   weights.populationIndex};
  ZhrEstimate strength = EstimateEncounter(enc.nodes, geometry);
  enc.zhr = strength.zhr;
  enc.zhrSigma = strength.zhrSigma;
  enc.fwhmMin = strength.fwhmMin;
  enc.peakSigmaMin = passage.peakSigmaMin;
  enc.missSigmaAu = passage.missSigmaAu;
  enc.profile = std::move(strength.profile);
  return enc;
}

// Groups one trail's nodes near the Earth into one encounter per year.
void Encounters(const TrailOutcome& trail, int trailYear, const ForecastSettings& s,
                const TrailWeights& weights, std::vector<TrailEncounter>& out) {
  const EarthTrack track{trail.earth, s.stepDays};
  std::map<int, std::vector<Near>> byYear;
  std::map<int, std::vector<PassageNode>> bandByYear;
  for (const TrailNode& n : trail.nodes) {
    double earthJd = 0;
    if (!track.PassageOf(SolarLongitudeDeg({n.x, n.y, n.z}), n.jd, earthJd)) continue;
    const NodeOnEarthPlane node = MoveOntoPlaneOf(track.At(earthJd), n);
    if (!track.PassageOf(SolarLongitudeDeg(node.at), earthJd, earthJd)) continue;
    if (std::fabs(node.jd - earthJd) > s.windowDays) continue;
    const StateVector e = track.At(earthJd);
    const double dr =
        std::sqrt(node.at.x * node.at.x + node.at.y * node.at.y + node.at.z * node.at.z) -
        std::sqrt(e.x * e.x + e.y * e.y + e.z * e.z);
    const int year = CalendarFromJulianDate(earthJd).year;
    if (year < s.forecastFrom || year > s.forecastTo) continue;
    bandByYear[year].push_back({earthJd, node.jd, dr});
    if (std::fabs(dr) > s.encounterAu) continue;
    byYear[year].push_back({{earthJd, node.jd, dr},
                            {n.vx - e.vx, n.vy - e.vy, n.vz - e.vz},
                            trail.grainMassKg[n.particle]});
  }
  for (const auto& [year, near] : byYear) {
    out.push_back(Encounter(track, trailYear, year, near, bandByYear[year], s, weights));
  }
}

// The trails of a plan integrated side by side on threads, the longest first so
// that the threads finish together, with the progress hook called every 0.2 s.
class SideBySide {
 public:
  SideBySide(const ForecastPlan& plan, const ForecastProgress& progress)
      : plan_(plan), progress_(progress), outcomes_(plan.tasks.size()), reached_(plan.tasks.size()) {
    for (auto& r : reached_) r.store(std::numeric_limits<double>::quiet_NaN());
    for (const TrailTask& t : plan.tasks) totalSteps_ += t.steps;
    order_.resize(plan.tasks.size());
    for (std::size_t k = 0; k < order_.size(); ++k) order_[k] = k;
    std::stable_sort(order_.begin(), order_.end(), [&](std::size_t a, std::size_t b) {
      return plan.tasks[a].steps > plan.tasks[b].steps;
    });
  }

  // False when the hook cancelled; rethrows the first failure of a trail.
  bool Run() {
    // The hook hears of every forecast at least once before any trail runs.
    if (progress_ && !progress_(Status(0.0))) return false;
    const int threadCount =
        std::min<int>(plan_.settings.threads, std::max<std::size_t>(order_.size(), 1));
    std::vector<std::thread> threads;
    running_ = threadCount;
    for (int t = 0; t < threadCount; ++t) threads.emplace_back([this] { Worker(); });
    Wait();
    for (std::thread& t : threads) t.join();
    if (failure_) std::rethrow_exception(failure_);
    if (cancel_) return false;
    if (progress_) progress_(Status(1.0));
    return true;
  }
  std::span<const TrailOutcome> Outcomes() const { return outcomes_; }

 private:
  void Worker() {
    try {
      TrailRunner runner;
      for (std::size_t k = next_++; k < order_.size() && !cancel_; k = next_++) {
        const std::size_t task = order_[k];
        outcomes_[task] = runner.Run(plan_, plan_.tasks[task], {&done_, &reached_[task], &cancel_});
        ++trailsFinished_;
      }
    } catch (...) {
      std::lock_guard<std::mutex> lock(mutex_);
      if (!failure_) failure_ = std::current_exception();
      cancel_ = true;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    --running_;
    finished_.notify_all();
  }
  void Wait() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (running_ > 0) {
      finished_.wait_for(lock, std::chrono::milliseconds(200));
      if (progress_ && running_ > 0) {
        lock.unlock();
        const double fraction = totalSteps_ > 0 ? static_cast<double>(done_.load()) /
                                                      static_cast<double>(totalSteps_)
                                                : 1;
        if (!progress_(Status(std::min(fraction, 1.0)))) cancel_ = true;
        lock.lock();
      }
    }
  }
  ForecastStatus Status(double fraction) const {
    ForecastStatus st;
    st.fraction = fraction;
    st.trailsFinished = trailsFinished_.load();
    st.trailCount = static_cast<int>(order_.size());
    st.reachedJD = std::numeric_limits<double>::quiet_NaN();
    for (const auto& r : reached_) {
      const double jd = r.load(std::memory_order_relaxed);
      if (std::isfinite(jd) && !(jd >= st.reachedJD)) st.reachedJD = jd;
    }
    return st;
  }

  const ForecastPlan& plan_;
  const ForecastProgress& progress_;
  std::vector<TrailOutcome> outcomes_;
  // Per trail the date it has reached, NaN before it starts; a finished trail keeps
  // its last date, the latest of all, so the least date is the slowest running trail's.
  std::vector<std::atomic<double>> reached_;
  std::vector<std::size_t> order_;
  long long totalSteps_ = 0;
  std::atomic<long long> done_{0};
  std::atomic<int> trailsFinished_{0};
  std::atomic<bool> cancel_{false};
  std::atomic<std::size_t> next_{0};
  int running_ = 0;
  std::mutex mutex_;
  std::condition_variable finished_;
  std::exception_ptr failure_;
};

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

ForecastPlan PlanForecast(const ForecastSettings& s) {
  CheckSettings(s);
  ForecastPlan plan;
  plan.settings = s;
  plan.windowStartJD = YearStartJD(s.forecastFrom) - 2 * s.windowDays;
  plan.endJD = YearStartJD(s.forecastTo + 1) + 2 * s.windowDays;
  const double trailsEndJD = std::min(YearStartJD(s.trailTo + 1), plan.windowStartJD);
  if (YearStartJD(s.trailFrom) >= trailsEndJD) return plan;
  plan.spanned = true;
  const auto passagesStart = Clock::now();
  // Each trail from the published orbit solution nearest its passage (the MPC
  // elements for a comet the table does not hold).
  const std::vector<PerihelionPassage> passages =
      PassagesBySolution(s.cometIndex, YearStartJD(s.trailFrom), trailsEndJD,
                         s.solutions ? *s.solutions : BuiltInOrbitSolutions());
  plan.passagesSeconds = Seconds(passagesStart);
  const std::vector<ReleaseEvent>& events =
      s.releaseEvents ? *s.releaseEvents : BuiltInReleaseEvents();
  for (const PerihelionPassage& passage : passages) {
    const int year = CalendarFromJulianDate(passage.jd).year;
    const std::uint64_t seed =
        static_cast<std::uint64_t>(s.cometIndex) * 1000003u + static_cast<std::uint64_t>(year);
    plan.tasks.push_back({passage, year, seed, PlanSteps(passage.jd, plan.endJD, s.stepDays).steps,
                          EventOfPassage(events, CometName(s.cometIndex), year)});
  }
  return plan;
}

TrailOutcome TrailRunner::Run(const ForecastPlan& plan, const TrailTask& task,
                              const TrailSignals& report) {
  const ForecastSettings& s = plan.settings;
  const PerihelionPassage& passage = task.passage;
  TrailOutcome trail;
  ForecastTimings& time = trail.timings;
  auto mark = Clock::now();
  const MassiveStates bodies = MassiveBodiesAt(passage.jd);
  time.epochs += Seconds(mark);
  mark = Clock::now();
  const std::vector<Grain> grains = ReleaseTrail(passage, s.perTrail, s.ejection, task.seed,
                                                 passage.jd, task.event ? &*task.event : nullptr);
  trail.grains = static_cast<int>(grains.size());
  trail.grainMassKg.reserve(grains.size());
  for (const Grain& g : grains) {
    trail.grainMassKg.push_back(GrainMassKg(g.radiusM, s.ejection.grainDensityKgM3));
  }
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
  run_.Begin(passage.jd, bodies, states, factors, s.stepDays);
  time.startup += Seconds(mark);
  detector_.Reset();
  detector_.SetCaptureAu(kNodeBandAu);
  for (long long taken = 0; run_.AcceptedJD() < plan.endJD && taken < task.steps; ++taken) {
    if (report.cancel && report.cancel->load(std::memory_order_relaxed)) return trail;
    mark = Clock::now();
    run_.Step();
    time.steps += Seconds(mark);
    if (run_.NewJD() > plan.windowStartJD) {
      mark = Clock::now();
      RecordStep(plan.windowStartJD, trail);
      time.crossings += Seconds(mark);
    }
    run_.FinishPass();
    ++time.trailSteps;
    if (report.stepsDone) report.stepsDone->fetch_add(1, std::memory_order_relaxed);
    if (report.reachedJD) report.reachedJD->store(run_.AcceptedJD(), std::memory_order_relaxed);
  }
  return trail;
}

void TrailRunner::RecordStep(double windowStartJD, TrailOutcome& trail) {
  if (trail.earth.empty()) {
    trail.earth.push_back(
        {run_.AcceptedJD(), Geocentre(run_.Heliocentric(kEarthRow, kAcceptedSlot), run_.AcceptedJD())});
  }
  trail.earth.push_back({run_.NewJD(), Geocentre(run_.Heliocentric(kEarthRow, kNewSlot), run_.NewJD())});
  for (const Crossing& c : detector_.Scan(run_.State())) {
    if (c.inShower && c.jd >= windowStartJD) {
      trail.nodes.push_back({c.jd, c.x, c.y, c.z, c.vx, c.vy, c.vz, c.particle});
    }
  }
}

ForecastResult CollectEncounters(const ForecastPlan& plan, std::span<const TrailOutcome> outcomes) {
  ForecastResult result;
  ForecastTimings& sum = result.timings;
  sum.passages = plan.passagesSeconds;
  const auto groupingStart = Clock::now();
  const ForecastSettings& s = plan.settings;
  const ShowerFacts shower = ShowerOfComet(CometDisplayName(s.cometIndex));
  const CometActivity activity = s.activity.value_or(ActivityOfComet(s.cometIndex));
  result.cometName = std::string(CometDisplayName(s.cometIndex));
  result.showerName = std::string(shower.name);
  result.populationIndex = s.populationIndex.value_or(shower.populationIndex);
  for (std::size_t k = 0; k < plan.tasks.size() && k < outcomes.size(); ++k) {
    const TrailTask& task = plan.tasks[k];
    const TrailOutcome& trail = outcomes[k];
    result.trails.push_back({task.year, task.passage.jd, trail.grains, task.passage.solution,
                             task.event ? ReleaseEventLabel(*task.event) : std::string()});
    const OsculatingElements orbit = StateToElements(task.passage.helio, kMassiveBodies[0].gm);
    // A recorded outburst brightened the comet, and its water and dust with it, by the
    // same magnitude law.
    CometActivity returnActivity = activity;
    if (task.event) returnActivity.absoluteMagnitude -= task.event->brighteningMag;
    const TrailWeights weights{
        DustMassPerReturnKg(returnActivity, orbit.a * (1 - orbit.ecc), orbit.ecc,
                            s.ejection.activeWithinAu),
        MassIndexFromPopulationIndex(result.populationIndex),
        GrainMassKg(s.ejection.grainRadiusMinMm * 1e-3, s.ejection.grainDensityKgM3),
        GrainMassKg(s.ejection.grainRadiusMaxMm * 1e-3, s.ejection.grainDensityKgM3),
        s.perTrail,
        result.populationIndex};
    Encounters(trail, task.year, s, weights, result.encounters);
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

ForecastResult RunForecast(const ForecastSettings& s, const ForecastProgress& progress) {
  const ForecastPlan plan = PlanForecast(s);
  ForecastResult result;
  if (!plan.spanned) return result;
  SideBySide trails(plan, progress);
  if (!trails.Run()) {
    result.cancelled = true;
    result.timings.passages = plan.passagesSeconds;
    return result;
  }
  return CollectEncounters(plan, trails.Outcomes());
}

void ViewEncountersFrom(const Site& site, double populationIndex, std::vector<TrailEncounter>& encounters) {
  for (TrailEncounter& e : encounters) {
    e.site = ViewFromSite(site, e.peakJd, e.raDeg, e.decDeg, e.zhr, populationIndex);
  }
}

std::string ForecastCsv(const std::vector<TrailEncounter>& encounters, bool withSite) {
  const auto columns = EncounterColumns();
  const unsigned groups = kCoreColumns | kForecastColumns | (withSite ? kSiteColumns : 0u);
  std::string out = CsvHeader(columns, groups);
  for (const TrailEncounter& e : encounters) out += CsvRow(columns, e, groups);
  return out;
}

}  // namespace stelvo
