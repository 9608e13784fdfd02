#include "meteors/stream.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <exception>
#include <limits>
#include <map>
#include <memory>
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

// The Earth-Moon barycentre's orbit spans these heliocentric distances (AU).
constexpr double kEarthPerihelionAu = 0.9833;
constexpr double kEarthAphelionAu = 1.0167;

using Clock = std::chrono::steady_clock;
double Seconds(Clock::time_point from) {
  return std::chrono::duration<double>(Clock::now() - from).count();
}

double YearStartJD(int year) { return JulianDate(year, 1, 1, 0, 0, 0); }

void CheckSettings(const StreamSettings& s) {
  auto inYears = [](int y) {
    return YearStartJD(y) >= kEarliestEpochJD && YearStartJD(y + 1) < kLatestEpochJD;
  };
  if (!inYears(s.releaseFrom) || !inYears(s.releaseTo) || !inYears(s.forecastFrom) ||
      !inYears(s.forecastTo)) {
    throw RunError("Release and forecast years must lie in the years the planets are known for");
  }
  if (s.releaseFrom > s.releaseTo) throw RunError("The release years run backwards");
  if (s.forecastFrom > s.forecastTo) throw RunError("The forecast years run backwards");
  if (s.releaseFrom >= s.forecastFrom) {
    throw RunError("The releases must begin before the forecast years");
  }
  if (s.perReturn < 1 || s.perReturn > kCapacity - kMassiveCount) {
    throw RunError("A return releases 1 to 19990 grains");
  }
  if (!(s.stepDays > 0 && s.stepDays <= 10) || !(s.farStepDays > 0 && s.farStepDays <= 10)) {
    throw RunError("The stream's steps must lie in (0, 10] days");
  }
  if (s.nearYears < 1) throw RunError("The near part lasts at least a year");
  if (!(s.setAsideAu >= 0)) throw RunError("The set-aside margin must not be negative");
  if (!(s.captureAu > 0 && s.captureAu <= 1) || !(s.encounterAu > 0 && s.encounterAu <= 1)) {
    throw RunError("The capture and encounter widths lie above 0 and at most 1 AU");
  }
  if (!(s.profileBinDeg >= 0.01 && s.profileBinDeg <= 10)) {
    throw RunError("The profile's bins lie between 0.01 and 10 degrees");
  }
  if (s.threads < 1) throw RunError("At least one thread");
}

// Heliocentric distances of an orbit's ascending and descending nodes (NaN for an
// orbit not bound to the Sun of parameter mu).
struct NodeDistances {
  double ascending, descending;
};
NodeDistances NodesOf(const StateVector& helio, double mu) {
  try {
    const OsculatingElements el = StateToElements(helio, mu);
    const double p = el.a * (1 - el.ecc * el.ecc);
    const double ec = el.ecc * std::cos(el.argPeri);
    return {p / (1 + ec), p / (1 - ec)};
  } catch (const OrbitError&) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    return {nan, nan};
  }
}

bool FarFromEarthOrbit(double rAu, double marginAu) {
  return !(rAu >= kEarthPerihelionAu - marginAu && rAu <= kEarthAphelionAu + marginAu);
}

struct ReturnRun {
  PerihelionPassage passage;
  MassiveStates bodies;
  bool twoParts = false;
  long long plannedSteps = 0;
  int grains = 0, setAside = 0;
  long long steps = 0;
  std::vector<Crossing> crossings;  // captured; particle = the grain's number in its return
  long long crossingCount = 0;
  double largestNodeShiftAu = 0;
  StreamTimings timings;
};

struct Span {
  double switchJD;  // start of the near part
  double scanFromJD, scanToJD;
  double endJD;
};

// The grains a return still integrates, per run row.
struct Grains {
  std::vector<StateVector> states;
  std::vector<double> factors, weights, massKg;
  std::vector<int> number;                // the grain's number in its return
  std::vector<NodeDistances> nodes;       // at the start of the part under way
};

// What one worker shares with the returns it integrates.
struct ReturnContext {
  const StreamSettings& s;
  const Span& span;
  ParticleRun& run;
  CrossingDetector& detector;
  std::atomic<long long>& done;
  const std::atomic<bool>& cancel;
};

Grains Release(ReturnRun& ret, const StreamSettings& s, std::uint64_t seed) {
  const auto mark = Clock::now();
  const std::vector<Grain> released =
      ReleaseTrail(ret.passage, s.perReturn, s.ejection, seed, ret.passage.jd);
  ret.grains = static_cast<int>(released.size());
  Grains g;
  for (std::size_t k = 0; k < released.size(); ++k) {
    g.states.push_back(released[k].helio);
    g.factors.push_back(released[k].sunFactor);
    g.weights.push_back(s.weight ? s.weight(ret.passage, released[k]) : 1.0);
    g.massKg.push_back(GrainMassKg(released[k].radiusM, s.ejection.grainDensityKgM3));
    g.number.push_back(static_cast<int>(k));
  }
  ret.timings.release += Seconds(mark);
  return g;
}

void BeginPart(ReturnRun& ret, ReturnContext& c, Grains& g, double jd, const MassiveStates& bodies,
               double step) {
  const auto mark = Clock::now();
  c.run.Begin(jd, bodies, g.states, g.factors, step);
  ret.timings.startup += Seconds(mark);
  const double sunGM = kMassiveBodies[0].gm;
  g.nodes.clear();
  for (std::size_t k = 0; k < g.states.size(); ++k) {
    g.nodes.push_back(NodesOf(g.states[k], sunGM * g.factors[k]));
  }
}

// Keeps a captured crossing of the forecast years with its grain's number and weight
// (0 for a grain too light to be seen at the crossing's speed, when asked).
void Keep(ReturnRun& ret, const StreamSettings& s, const Grains& g, const Span& span,
          const Crossing& c) {
  Crossing kept = c;
  kept.particle = g.number[c.particle];
  kept.tDays = c.jd - span.scanFromJD;
  const bool seen = !s.visibleOnly || g.massKg[c.particle] >= MassOfLimitingMeteorKg(c.vgKmS);
  kept.weight = seen ? g.weights[c.particle] : 0.0;
  ret.crossings.push_back(kept);
  const NodeDistances& n = g.nodes[c.particle];
  const double shift = std::fabs(c.rAu - (c.ascending ? n.ascending : n.descending));
  if (std::isfinite(shift)) ret.largestNodeShiftAu = std::max(ret.largestNodeShiftAu, shift);
}

// Steps until the accepted point reaches untilJD, scanning the forecast years when
// `scan`; false when cancelled.
bool Advance(ReturnRun& ret, ReturnContext& c, const Grains& g, std::atomic<double>& reachedJD,
             double untilJD, bool scan) {
  const int count = static_cast<int>(g.states.size());
  while (c.run.AcceptedJD() < untilJD) {
    if (c.cancel.load(std::memory_order_relaxed)) return false;
    auto mark = Clock::now();
    c.run.Step();
    ret.timings.steps += Seconds(mark);
    if (scan && c.run.NewJD() > c.span.scanFromJD) {
      mark = Clock::now();
      for (const Crossing& x : c.detector.Scan(c.run.State())) {
        if (!(x.jd >= c.span.scanFromJD && x.jd < c.span.scanToJD)) continue;
        ++ret.crossingCount;
        if (x.inShower) Keep(ret, c.s, g, c.span, x);
      }
      ret.timings.crossings += Seconds(mark);
    }
    c.run.FinishPass();
    ++ret.steps;
    ret.timings.grainSteps += count;
    c.done.fetch_add(1, std::memory_order_relaxed);
    reachedJD.store(c.run.AcceptedJD(), std::memory_order_relaxed);
  }
  return true;
}

// The grains' states reached by the far part, less those set aside (see
// StreamSettings::setAsideAu); their count goes to the return.
Grains Reached(ReturnRun& ret, const StreamSettings& s, const ParticleRun& run, const Grains& g) {
  const double sunGM = kMassiveBodies[0].gm;
  const double margin = s.captureAu + s.setAsideAu;
  Grains kept;
  for (std::size_t k = 0; k < g.states.size(); ++k) {
    const StateVector helio = run.Heliocentric(kMassiveCount + static_cast<int>(k), kAcceptedSlot);
    if (s.setAsideAu > 0) {
      const NodeDistances n = NodesOf(helio, sunGM * g.factors[k]);
      // Unbound (NaN fails both bounds) or both nodes beyond the margin: set aside.
      if (!(std::isfinite(n.ascending) && std::isfinite(n.descending)) ||
          (FarFromEarthOrbit(n.ascending, margin) && FarFromEarthOrbit(n.descending, margin))) {
        ++ret.setAside;
        continue;
      }
    }
    kept.states.push_back(helio);
    kept.factors.push_back(g.factors[k]);
    kept.weights.push_back(g.weights[k]);
    kept.massKg.push_back(g.massKg[k]);
    kept.number.push_back(g.number[k]);
  }
  return kept;
}

MassiveStates PlanetsReached(const RunState& st) {
  MassiveStates bodies;
  for (int i = 0; i < kMassiveCount; ++i) {
    bodies[i] = {st.Pos(kX, kAcceptedSlot)[i], st.Pos(kY, kAcceptedSlot)[i], st.Pos(kZ, kAcceptedSlot)[i],
                 st.Vel(kX, kAcceptedSlot)[i], st.Vel(kY, kAcceptedSlot)[i], st.Vel(kZ, kAcceptedSlot)[i]};
  }
  return bodies;
}

void IntegrateReturn(ReturnRun& ret, ReturnContext& c, std::uint64_t seed,
                     std::atomic<double>& reachedJD) {
  Grains g = Release(ret, c.s, seed);
  if (g.states.empty()) return;
  c.detector.Reset();
  c.detector.SetCaptureAu(c.s.captureAu);
  c.detector.SetEncounterAu(c.s.encounterAu);
  if (!ret.twoParts) {
    BeginPart(ret, c, g, ret.passage.jd, ret.bodies, c.s.stepDays);
    Advance(ret, c, g, reachedJD, c.span.endJD, true);
    return;
  }
  BeginPart(ret, c, g, ret.passage.jd, ret.bodies, c.s.farStepDays);
  if (!Advance(ret, c, g, reachedJD, c.span.switchJD, false)) return;
  // The near part starts from the states reached: the planets' and the grains'.
  const MassiveStates bodies = PlanetsReached(c.run.State());
  const double switchJD = c.run.AcceptedJD();
  g = Reached(ret, c.s, c.run, g);
  if (g.states.empty()) return;
  BeginPart(ret, c, g, switchJD, bodies, c.s.stepDays);
  Advance(ret, c, g, reachedJD, c.span.endJD, true);
}

long long StepsBetween(double fromJD, double toJD, double step) {
  return toJD > fromJD ? static_cast<long long>(std::ceil((toJD - fromJD) / step)) : 0;
}

}  // namespace

GrainWeight MeteoroidWeights(int perReturn, const EjectionSettings& ejection,
                             const CometActivity& activity, double populationIndex) {
  const double massIndex = MassIndexFromPopulationIndex(populationIndex);
  const double massMinKg = GrainMassKg(ejection.grainRadiusMinMm * 1e-3, ejection.grainDensityKgM3);
  const double massMaxKg = GrainMassKg(ejection.grainRadiusMaxMm * 1e-3, ejection.grainDensityKgM3);
  // The dust of a return, computed once per passage (the returns release on several
  // threads; the same value whichever asks first).
  struct DustByPassage {
    std::mutex mutex;
    std::map<double, double> kg;
  };
  auto dust = std::make_shared<DustByPassage>();
  return [=](const PerihelionPassage& passage, const Grain& grain) {
    double dustKg = 0;
    {
      std::lock_guard<std::mutex> lock(dust->mutex);
      const auto known = dust->kg.find(passage.jd);
      if (known != dust->kg.end()) {
        dustKg = known->second;
      } else {
        // The comet's orbit at this passage sets its dust, as for the forecast's trails.
        const OsculatingElements orbit = StateToElements(passage.helio, kMassiveBodies[0].gm);
        dustKg = DustMassPerReturnKg(activity, orbit.a * (1 - orbit.ecc), orbit.ecc,
                                     ejection.activeWithinAu);
        dust->kg.emplace(passage.jd, dustKg);
      }
    }
    return MeteoroidsPerGrain(GrainMassKg(grain.radiusM, ejection.grainDensityKgM3), dustKg,
                              massIndex, massMinKg, massMaxKg, perReturn);
  };
}

void WeighByVisibleMeteoroids(StreamSettings& s) {
  s.weight = MeteoroidWeights(s.perReturn, s.ejection, ActivityOfComet(s.cometIndex),
                              ShowerOfComet(CometDisplayName(s.cometIndex)).populationIndex);
  s.visibleOnly = true;
}

ProfilePeak PeakOfProfile(const std::vector<double>& profile, double binDeg, double lambdaDeg,
                          double searchDeg) {
  const int n = static_cast<int>(profile.size());
  auto at = [&](int k) { return profile[((k % n) + n) % n]; };
  int peak = -1;
  double best = 0;
  for (int k = 0; k < n; ++k) {
    const double centre = (k + 0.5) * binDeg;
    if (std::fabs(DegreesBetween(centre, lambdaDeg)) > searchDeg) continue;
    if (profile[k] > best) best = profile[k], peak = k;
  }
  if (peak < 0) return {lambdaDeg, 0, 0, lambdaDeg, lambdaDeg};
  const double half = best / 2;
  // Bins from the peak outwards to the first below half, then linear between centres.
  auto edge = [&](int dir) {
    int k = 1;
    while (k < n && at(peak + dir * k) >= half) ++k;
    const double inside = at(peak + dir * (k - 1)), outside = at(peak + dir * k);
    if (!(inside > outside)) return (k - 1) * binDeg;
    return (k - 1 + (inside - half) / (inside - outside)) * binDeg;
  };
  const double lambda = WrapDegrees((peak + 0.5) * binDeg);
  const double below = edge(-1), above = edge(+1);
  return {lambda, best, below + above, lambda - below, lambda + above};
}

StreamProgress ReportInto(Progress& progress, const StreamSettings& settings) {
  const double forecastStartJD = YearStartJD(settings.forecastFrom);
  const int lastYear = settings.forecastTo;
  return [&progress, forecastStartJD, lastYear](const StreamStatus& st) {
    std::string stage;
    if (std::isfinite(st.reachedJD) && st.reachedJD >= forecastStartJD) {
      stage = "forecast " + std::to_string(std::min(CalendarFromJulianDate(st.reachedJD).year, lastYear));
    } else {
      const int current = std::min(st.returnsFinished + 1, std::max(st.returnCount, 1));
      stage = "return " + std::to_string(current) + " of " + std::to_string(st.returnCount);
    }
    progress.SetStageText(std::move(stage));
    progress.Report(st.fraction, std::isfinite(st.reachedJD) ? st.reachedJD : progress.Read().simJD);
    return !progress.CancelRequested();
  };
}

namespace {

Span SpanOf(const StreamSettings& s) {
  Span span;
  span.scanFromJD = YearStartJD(s.forecastFrom);
  span.scanToJD = YearStartJD(s.forecastTo + 1);
  span.endJD = span.scanToJD + s.stepDays;
  span.switchJD = std::max(YearStartJD(s.forecastFrom - s.nearYears), kEarliestEpochJD);
  return span;
}

// The returns of the span, each passage from the published orbit solution nearest it
// (PassagesBySolution, as the trail forecast), with the planets at each passage
// carried from one passage to the one before (one integration over the whole span,
// not one from J2000 per return), and each return's parts and steps.
std::vector<ReturnRun> PlanReturns(const StreamSettings& s, const Span& span, StreamTimings& time) {
  auto mark = Clock::now();
  const std::vector<PerihelionPassage> passages = PassagesBySolution(
      s.cometIndex, YearStartJD(s.releaseFrom),
      std::min(YearStartJD(s.releaseTo + 1), span.scanFromJD),
      s.solutions ? *s.solutions : BuiltInOrbitSolutions());
  time.passages = Seconds(mark);
  if (passages.empty()) {
    throw RunError("The comet passes no perihelion in the years " + std::to_string(s.releaseFrom) +
                   " to " + std::to_string(s.releaseTo));
  }
  mark = Clock::now();
  std::vector<ReturnRun> returns(passages.size());
  for (std::size_t k = passages.size(); k-- > 0;) {
    ReturnRun& r = returns[k];
    r.passage = passages[k];
    r.bodies = k + 1 == passages.size()
                   ? MassiveBodiesAt(passages[k].jd)
                   : IntegrateMassive(returns[k + 1].bodies, passages[k + 1].jd, passages[k].jd);
    r.twoParts = r.passage.jd < span.switchJD && (s.farStepDays != s.stepDays || s.setAsideAu > 0);
    r.plannedSteps = r.twoParts ? StepsBetween(r.passage.jd, span.switchJD, s.farStepDays) +
                                      StepsBetween(span.switchJD, span.endJD, s.stepDays)
                                : StepsBetween(r.passage.jd, span.endJD, s.stepDays);
  }
  time.epochs = Seconds(mark);
  return returns;
}

// Integrates the returns side by side, the costliest first so that the threads finish
// together, reporting to `progress`; false when cancelled.
bool RunReturns(std::vector<ReturnRun>& returns, const StreamSettings& s, const Span& span,
                const StreamProgress& progress) {
  long long totalSteps = 0;
  for (const ReturnRun& r : returns) totalSteps += r.plannedSteps;
  std::atomic<long long> done{0};
  std::vector<std::atomic<double>> reached(returns.size());
  for (auto& r : reached) r.store(std::numeric_limits<double>::quiet_NaN());
  std::atomic<int> finishedCount{0};
  std::atomic<bool> cancel{false};
  std::atomic<std::size_t> next{0};
  std::mutex mutex;
  std::condition_variable finished;
  int running = 0;
  std::exception_ptr failure;
  std::vector<std::size_t> order(returns.size());
  for (std::size_t k = 0; k < order.size(); ++k) order[k] = k;
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return returns[a].plannedSteps > returns[b].plannedSteps;
  });
  auto worker = [&]() {
    try {
      ParticleRun run;
      CrossingDetector detector;
      ReturnContext context{s, span, run, detector, done, cancel};
      for (std::size_t k = next++; k < order.size() && !cancel; k = next++) {
        ReturnRun& r = returns[order[k]];
        const std::uint64_t seed =
            static_cast<std::uint64_t>(s.cometIndex) * 1000003u +
            static_cast<std::uint64_t>(CalendarFromJulianDate(r.passage.jd).year + 10000);
        IntegrateReturn(r, context, seed, reached[order[k]]);
        ++finishedCount;
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
    StreamStatus st{fraction, finishedCount.load(), static_cast<int>(returns.size()),
                    std::numeric_limits<double>::quiet_NaN()};
    for (const auto& r : reached) {
      const double jd = r.load(std::memory_order_relaxed);
      if (std::isfinite(jd) && !(jd >= st.reachedJD)) st.reachedJD = jd;
    }
    return st;
  };
  if (progress && !progress(status(0.0))) return false;
  const int threadCount = std::min<int>(s.threads, static_cast<int>(returns.size()));
  std::vector<std::thread> threads;
  running = threadCount;
  for (int t = 0; t < threadCount; ++t) threads.emplace_back(worker);
  {
    std::unique_lock<std::mutex> lock(mutex);
    while (running > 0) {
      finished.wait_for(lock, std::chrono::milliseconds(200));
      if (progress && running > 0) {
        lock.unlock();
        const double fraction = totalSteps > 0 ? double(done.load()) / double(totalSteps) : 1;
        if (!progress(status(std::min(fraction, 1.0)))) cancel = true;
        lock.lock();
      }
    }
  }
  for (std::thread& t : threads) t.join();
  if (failure) std::rethrow_exception(failure);
  if (cancel) return false;
  if (progress) progress(status(1.0));
  return true;
}

// Gathers the returns in return order, whatever thread ran which: the crossings,
// the profile, the showers with their peaks and widths.
void Gather(std::vector<ReturnRun>& returns, const StreamSettings& s, const Span& span,
            StreamResult& result) {
  const auto mark = Clock::now();
  const double scannedDays = span.scanToJD - span.scanFromJD;
  const double years = scannedDays / kDaysPerYear;
  const int bins = static_cast<int>(std::lround(360 / s.profileBinDeg));
  result.profile.assign(bins, 0.0);
  ShowerSummary summary;
  int offset = 0;
  StreamTimings& sum = result.timings;
  for (ReturnRun& r : returns) {
    result.returns.push_back({CalendarFromJulianDate(r.passage.jd).year, r.passage.jd, r.grains,
                              r.setAside, r.steps, r.passage.solution});
    for (Crossing c : r.crossings) {
      c.particle += offset;
      result.crossings.push_back(c);
      const int bin = std::min(bins - 1, static_cast<int>(c.lambdaSun / s.profileBinDeg));
      result.profile[bin] += c.weight;
    }
    // A crossing of weight 0 (a grain too light to be seen) stands for no meteor:
    // it stays among the crossings but makes no shower.
    std::vector<Crossing> weighing;
    for (const Crossing& c : r.crossings) {
      if (c.weight > 0) weighing.push_back(c);
    }
    summary.Add(weighing, 0, scannedDays);
    offset += r.grains;
    result.crossingCount += r.crossingCount;
    result.largestNodeShiftAu = std::max(result.largestNodeShiftAu, r.largestNodeShiftAu);
    sum.release += r.timings.release;
    sum.startup += r.timings.startup;
    sum.steps += r.timings.steps;
    sum.crossings += r.timings.crossings;
    sum.grainSteps += r.timings.grainSteps;
  }
  for (double& rate : result.profile) rate /= years * s.profileBinDeg;
  const int middleYear = CalendarFromJulianDate((span.scanFromJD + span.scanToJD) / 2).year;
  for (const Shower& w : summary.Summarise(middleYear, s.minShowerCount)) {
    const double search = std::max(3 * w.lambdaSpread, 2 * s.profileBinDeg);
    const ProfilePeak p = PeakOfProfile(result.profile, s.profileBinDeg, w.lambdaSun, search);
    result.showers.push_back({w, p});
  }
  sum.gathering = Seconds(mark);
}

}  // namespace

StreamResult RunStream(const StreamSettings& s, const StreamProgress& progress) {
  CheckSettings(s);
  const Span span = SpanOf(s);
  StreamResult result;
  result.forecastStartJD = span.scanFromJD;
  result.profileBinDeg = s.profileBinDeg;
  std::vector<ReturnRun> returns = PlanReturns(s, span, result.timings);
  if (!RunReturns(returns, s, span, progress)) {
    result.cancelled = true;
    return result;
  }
  Gather(returns, s, span, result);
  return result;
}

}  // namespace stelvo
